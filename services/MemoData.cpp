#include "services/MemoData.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"

#include <QFile>

#include <algorithm>

namespace {

const QString Memo = QStringLiteral("MEMO");
const QString List = QStringLiteral("LIST");

QString Numbered(const char *key, int n)
{
    return QLatin1String(key) + QString::number(n);
}

// Copies a default file into place unless the profile has it already.
void CopyDefault(const QString &from, const QString &to)
{
    if (!QFile::exists(to) && QFile::exists(from))
        QFile::copy(from, to);
}

}  // namespace

void TMemoData::Save() const
{
    Lines.SaveToFile(FileName());
}

void TMemoData::DeleteFile() const
{
    if (QFile::exists(FileName()))
        QFile::remove(FileName());
}

TMemoBook::TMemoBook(const QString &profileDir, const QString &appDir)
    : folder(profileDir + QStringLiteral("memo/")), defaults(appDir + QStringLiteral("def/memo/"))
{
}

void TMemoBook::Open()
{
    FileUtil::ForceDirectories(folder);
    if (!QFile::exists(IniFileName())) {
        CopyDefault(defaults + QStringLiteral("memo.ini"), IniFileName());
        CopyDefault(defaults + QStringLiteral("mem00001.txt"), folder + QStringLiteral("mem00001.txt"));
    }
    ini.SetFileName(IniFileName());
    ini.Load();
    openMessage.clear();
    if (ini.ReadFailed()) {
        openMessage = QStringLiteral("メモの一覧ファイルを読めませんでした（ファイルは上書きせずそのまま残します）：%1").arg(IniFileName());
    } else if (QFile::exists(IniFileName()) && !ini.ValueExists(Memo, QStringLiteral("COUNT"))) {
        KeepDamagedIni();
    }
    if (ini.ReadInteger(Memo, QStringLiteral("COUNT"), 0) == 0 && !ini.ReadFailed()) {
        ini.WriteInteger(List, QStringLiteral("USED"), 1);
        ini.WriteInteger(Memo, QStringLiteral("COUNT"), 1);
        ini.WriteString(Memo, QStringLiteral("MEMO1"), QStringLiteral("メモその１"));
        ini.WriteString(Memo, QStringLiteral("ID1"), QStringLiteral("mem00001"));
        ini.WriteInteger(Memo, QStringLiteral("TOPINDEX1"), 0);
        ini.UpdateFile();
    }
    pages.clear();
    const int count = ini.ReadInteger(Memo, QStringLiteral("COUNT"), 0);
    QList<int> unnamed;   // pages whose ID is missing, unusable or another page's
    for (int n = 1; n <= count; ++n) {
        const QString id = ini.ReadString(Memo, Numbered("ID", n));
        auto page = std::make_unique<TMemoData>(folder, id, ini.ReadString(Memo, Numbered("MEMO", n)));
        page->TopIndex = ini.ReadInteger(Memo, Numbered("TOPINDEX", n), 0);
        page->SelStart = ini.ReadInteger(Memo, Numbered("SELSTART", n), 0);
        page->SelLen = ini.ReadInteger(Memo, Numbered("SELLEN", n), 0);
        if (IsUsableID(id) && !HasPage(id))
            page->Lines.LoadFromFile(page->FileName());   // a missing page file reads as an empty page
        else
            unnamed << int(pages.size());
        pages.push_back(std::move(page));
    }
    if (!unnamed.isEmpty())
        GiveOwnFiles(unnamed);
}

// An ID names a file of the memo folder: "mem" and five digits as handed out, or any plain name.
bool TMemoBook::IsUsableID(const QString &id)
{
    return !id.isEmpty() && id != QStringLiteral(".") && id != QStringLiteral("..") && !id.contains(QLatin1Char('/'))
        && !id.contains(QLatin1Char('\\'));
}

// A page without a file of its own means a damaged index: it is kept aside and told, and each such
// page gets a new number, so that no two pages ever write the same file. The repaired index is
// written at once.
void TMemoBook::GiveOwnFiles(const QList<int> &unnamed)
{
    const QString aside = IniFileName() + QStringLiteral(".damaged");
    QString failure;
    if (openMessage.isEmpty()) {
        openMessage = FileUtil::MakeBackup(IniFileName(), aside, &failure)
            ? QStringLiteral("メモの一覧ファイルが壊れていました（ファイル名のないページがあります）。元のファイルは %1 に残してあります。").arg(aside)
            : QStringLiteral("メモの一覧ファイルが壊れていました（ファイル名のないページがあります）：%1\n%2").arg(IniFileName(), failure);
    }
    QStringList names;
    for (const int index : unnamed) {
        pages[index]->ID = NextID();
        names << pages[index]->FileName();
    }
    openMessage += QStringLiteral("\nそのページは新しいファイルに保存します：%1").arg(names.join(QStringLiteral("、")));
    try {
        WriteIndex();
    } catch (const EFileError &e) {
        openMessage += QLatin1Char('\n') + e.Message;
    }
}

void TMemoBook::Close()
{
    WriteIndex();
}

void TMemoBook::WriteIndex()
{
    ini.EraseSection(Memo);
    ini.WriteInteger(Memo, QStringLiteral("COUNT"), Count());
    for (int n = 1; n <= Count(); ++n) {
        const TMemoData &page = *pages[n - 1];
        ini.WriteString(Memo, Numbered("MEMO", n), page.Name);
        ini.WriteString(Memo, Numbered("ID", n), page.ID);
        ini.WriteInteger(Memo, Numbered("TOPINDEX", n), page.TopIndex);
        ini.WriteInteger(Memo, Numbered("SELSTART", n), page.SelStart);
        ini.WriteInteger(Memo, Numbered("SELLEN", n), page.SelLen);
    }
    ini.UpdateFile();
}

// memo.ini without its page list is kept aside before the one-page list is written over it.
void TMemoBook::KeepDamagedIni()
{
    const QString aside = IniFileName() + QStringLiteral(".damaged");
    openMessage = FileUtil::MakeBackup(IniFileName(), aside)
        ? QStringLiteral("メモの一覧ファイルを読めませんでした。元のファイルは %1 に残してあります。").arg(aside)
        : QStringLiteral("メモの一覧ファイルを読めませんでした：%1").arg(IniFileName());
}

// The number after USED whose page file does not exist: a damaged or older memo.ini must never
// make a new page take the file of a page the user has.
TMemoData *TMemoBook::AddPage(const QString &name)
{
    const QString id = NextID();
    ini.UpdateFile();
    pages.push_back(std::make_unique<TMemoData>(folder, id, name));
    return pages.back().get();
}

// Hands out the number after USED whose page file does not exist and that no page holds, and
// raises USED to it (in memory).
QString TMemoBook::NextID()
{
    int used = ini.ReadInteger(List, QStringLiteral("USED"), 0);
    QString id;
    do {
        id = QStringLiteral("mem%1").arg(++used, 5, 10, QLatin1Char('0'));
    } while (QFile::exists(folder + id + QStringLiteral(".txt")) || HasPage(id));
    ini.WriteInteger(List, QStringLiteral("USED"), used);
    return id;
}

bool TMemoBook::HasPage(const QString &id) const
{
    return std::any_of(pages.begin(), pages.end(), [&id](const auto &page) { return page->ID == id; });
}

void TMemoBook::DeletePage(int index)
{
    pages.at(index)->DeleteFile();
    pages.erase(pages.begin() + index);
}
