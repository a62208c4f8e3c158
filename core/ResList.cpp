#include "core/ResList.h"

#include "core/DatLine.h"
#include "core/DatLog.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ThreadItem.h"


namespace {

// A response from the fields of one dat line.
std::unique_ptr<TRes> ResFromLine(QStringView text, QByteArray bytes, int number)
{
    const TDatFields fields = ParseDatLine(text);
    auto res = std::make_unique<TRes>();
    res->Number = number;
    res->Name = fields.Name;
    res->SetMail(fields.Mail);
    res->SetDate(fields.Date);
    res->Body = fields.Body;
    res->Title = fields.Title;
    res->DatLine = std::move(bytes);
    res->HasDatLine = true;
    return res;
}

}  // namespace

TResList::TResList(TThreadItem *item) : item(item)
{
    if (item)
        item->AddRef();
}

TResList::~TResList()
{
    items.clear();
    if (item)
        item->Release();
}

void TResList::Add(TRes *res)
{
    items.emplace_back(res);
}

void TResList::Clear()
{
    items.clear();
    HiddenNumbers.clear();
}

void TResList::LoadDat(const QByteArray &log)
{
    // The log is decoded in one pass. A line break can never be part of a Shift_JIS character (no
    // trail byte is a CR or an LF, and a broken byte becomes one U+FFFD), so the lines of the text
    // and of the bytes correspond one to one.
    const QString text = jconvert::SjisToUnicode(log);
    const TRes references = References();
    qsizetype byteAt = 0;
    qsizetype textAt = 0;
    while (byteAt < log.size()) {
        qsizetype byteEnd = log.indexOf('\n', byteAt);
        qsizetype textEnd = text.indexOf(u'\n', textAt);
        const qsizetype nextByte = byteEnd < 0 ? log.size() : byteEnd + 1;
        const qsizetype nextText = textEnd < 0 ? text.size() : textEnd + 1;
        if (byteEnd < 0) {
            byteEnd = log.size();
            textEnd = text.size();
        }
        if (byteEnd > byteAt && log[byteEnd - 1] == '\r') {
            --byteEnd;
            --textEnd;
        }
        AppendLine(QStringView(text).mid(textAt, textEnd - textAt), log.sliced(byteAt, byteEnd - byteAt), references);
        byteAt = nextByte;
        textAt = nextText;
    }
}

TRes *TResList::AddDatLine(const QString &line)
{
    return AppendLine(line, jconvert::UnicodeToSjis(line), References());
}

void TResList::SaveDat(const QString &path) const
{
    Store(path, 0);
}

void TResList::AppendDat(const QString &path, int stored) const
{
    Store(path, stored);
}

void TResList::Store(const QString &path, int stored) const
{
    const TDatLog log = DatLog();
    const int first = log.Write(path, stored);
    TIniFile inf(TThreadItem::InfPathOf(path));
    if (log.MarkErased(inf, first))
        inf.UpdateFile();
}

TDatLog TResList::DatLog() const
{
    TDatLog log;
    log.LineBreak = LogLineBreak();
    log.Lines.reserve(Count());
    for (int i = 0; i < Count(); ++i) {
        const TRes *res = items[size_t(i)].get();
        log.Lines << res->ToDatLine();
        if (res->Erased)
            log.Erased << TDatLog::TErased{i, res->Number};
    }
    return log;
}

TRes TResList::References() const
{
    TRes references;
    if (item) {
        references.BBS = item->BBS;
        references.Site = item->Site;
        references.Board = item->GetBoard();
        references.Title = item->TITLE;
    }
    return references;
}

TRes *TResList::AppendLine(QStringView text, QByteArray bytes, const TRes &references)
{
    auto res = ResFromLine(text, std::move(bytes), Count() + 1);
    res->BBS = references.BBS;
    res->Site = references.Site;
    res->Board = references.Board;
    if (!references.Title.isEmpty())
        res->Title = references.Title;
    items.push_back(std::move(res));
    return items.back().get();
}
