#include "core/ResList.h"

#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ThreadItem.h"

#include <QFile>

#include <unistd.h>

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
    FileUtil::WriteFileAtomic(path, LogBytes(0, Count()));
    MarkErased(path, 0);
}

void TResList::AppendDat(const QString &path, int stored) const
{
    if (stored <= 0 || stored > Count() || !LogHolds(path, stored)) {
        SaveDat(path);
        return;
    }
    const QByteArray appended = LogBytes(stored, Count());
    QFile log(path);
    const bool written = log.open(QIODevice::WriteOnly | QIODevice::Append) && log.write(appended) == appended.size()
                         && log.flush() && ::fdatasync(log.handle()) == 0;
    if (!written)
        throw EFileError(QStringLiteral("ファイルを書き込めません: %1").arg(path));
    MarkErased(path, stored);
}

QByteArray TResList::LogBytes(int first, int last) const
{
    const QByteArray lineBreak = LogLineBreak();
    QByteArray log;
    for (int i = first; i < last; ++i)
        log += items[size_t(i)]->ToDatLine() + lineBreak;
    return log;
}

// The log at path is the first `stored` responses as SaveDat writes them: its size is theirs and it
// ends with the last of them.
bool TResList::LogHolds(const QString &path, int stored) const
{
    const qsizetype lineBreak = LogLineBreak().size();
    qint64 size = 0;
    for (int i = 0; i < stored; ++i)
        size += items[size_t(i)]->ToDatLine().size() + lineBreak;
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly) || log.size() != size)
        return false;
    const QByteArray last = LogBytes(stored - 1, stored);
    return log.seek(size - last.size()) && log.read(last.size()) == last;
}

// Marks the erased responses from index first on in the .inf beside the log.
void TResList::MarkErased(const QString &path, int first) const
{
    QStringList keys;
    for (int i = first; i < Count(); ++i) {
        if (items[size_t(i)]->Erased)
            keys << QStringLiteral("RES%1").arg(items[size_t(i)]->Number);
    }
    if (keys.isEmpty())
        return;
    TIniFile inf(TThreadItem::InfPathOf(path));
    bool marked = false;
    for (const QString &key : std::as_const(keys)) {
        if (!inf.ReadBool(QStringLiteral("ERASE"), key)) {
            inf.WriteBool(QStringLiteral("ERASE"), key, true);
            marked = true;
        }
    }
    if (marked)
        inf.UpdateFile();
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
