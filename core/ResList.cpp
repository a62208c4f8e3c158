#include "core/ResList.h"

#include "core/DatLine.h"
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
    const QList<QByteArray> lines = SplitLogLines(log);
    items.reserve(items.size() + size_t(lines.size()));
    const TRes references = References();
    // Each line is decoded on its own, so a broken byte can never take a line break with it.
    for (const QByteArray &line : lines)
        AppendLine(jconvert::SjisToUnicode(line), line, references);
}

TRes *TResList::AddDatLine(const QString &line)
{
    return AppendLine(line, jconvert::UnicodeToSjis(line), References());
}

void TResList::SaveDat(const QString &path) const
{
    const QByteArray lineBreak = LogLineBreak();
    QByteArray log;
    for (const auto &res : items)
        log += res->ToDatLine() + lineBreak;
    FileUtil::WriteFileAtomic(path, log);

    TIniFile inf(TThreadItem::InfPathOf(path));
    bool marked = false;
    for (const auto &res : items) {
        const QString key = QStringLiteral("RES%1").arg(res->Number);
        if (res->Erased && !inf.ReadBool(QStringLiteral("ERASE"), key)) {
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
