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
    Tally(*res);
    items.emplace_back(res);
}

void TResList::Clear()
{
    items.clear();
    datLineBytes = 0;
    builtLines = 0;
    HiddenNumbers.clear();
}

void TResList::Tally(const TRes &res)
{
    if (res.HasDatLine)
        datLineBytes += res.DatLine.size();
    else
        ++builtLines;
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

TRes *TResList::FindByNumber(int number) const
{
    for (const auto &res : items) {
        if (res->Number == number)
            return res.get();
    }
    return nullptr;
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
    const TDatLog log = DatLogFor(path, stored);
    log.Write(path);
    TIniFile inf(TThreadItem::InfPathOf(path));
    if (log.MarkErased(inf))
        inf.UpdateFile();
}

TDatLog TResList::DatLogFor(const QString &path, int stored) const
{
    TDatLog log = DatLog(stored);
    return log.First == 0 || log.Continues(path) ? log : DatLog(0);
}

TDatLog TResList::DatLog(int from) const
{
    TDatLog log;
    log.LineBreak = LogLineBreak();
    log.First = from > 0 && from <= Count() ? from : 0;
    if (log.First > 0) {
        log.StoredSize = LineBytesBefore(log.First) + qint64(log.First) * log.LineBreak.size();
        log.LastStored = items[size_t(log.First - 1)]->ToDatLine();
    }
    log.Lines.reserve(Count() - log.First);
    for (int i = log.First; i < Count(); ++i) {
        const TRes *res = items[size_t(i)].get();
        log.Lines << res->ToDatLine();
        if (res->Erased)
            log.Erased << res->Number;
    }
    return log;
}

// The bytes of the lines of the responses before index, without their line breaks: the lines read
// less those from index on, while no response was made in memory.
qint64 TResList::LineBytesBefore(int index) const
{
    qint64 bytes = 0;
    if (builtLines > 0) {
        for (int i = 0; i < index; ++i)
            bytes += items[size_t(i)]->ToDatLine().size();
        return bytes;
    }
    for (int i = index; i < Count(); ++i)
        bytes += items[size_t(i)]->DatLine.size();
    return datLineBytes - bytes;
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
    Tally(*res);
    items.push_back(std::move(res));
    return items.back().get();
}
