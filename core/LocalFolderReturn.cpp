#include "core/LocalFolderReturn.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>

namespace {

const QString Org = QStringLiteral("ORG");
const QString Info = QStringLiteral("INFO");

// File renames that can all be undone: a file already at a target is first set aside, and is put
// back when the moves are undone, or deleted when they are kept.
class TFileMoves {
public:
    ~TFileMoves() { Undo(); }

    bool Move(const QString &from, const QString &to)
    {
        if (QFile::exists(to)) {
            const QString aside = to + QStringLiteral(".moving");
            QFile::remove(aside);
            if (!QFile::rename(to, aside))
                return false;
            done.append({to, aside});
        }
        if (!QFile::rename(from, to))
            return false;
        done.append({from, to});
        return true;
    }

    void Keep()
    {
        for (const auto &[from, to] : done) {
            if (to.endsWith(QStringLiteral(".moving")))
                QFile::remove(to);
        }
        done.clear();
    }

    void Undo()
    {
        while (!done.isEmpty()) {
            const auto [from, to] = done.takeLast();
            QFile::rename(to, from);
        }
    }

private:
    QList<QPair<QString, QString>> done;   // renamed from, to
};

QString WithExtension(const QString &path, const QString &extension)
{
    const QFileInfo file(path);
    return file.path() + u'/' + file.completeBaseName() + extension;
}

QString RedirectOf(const QString &infPath)
{
    if (!QFile::exists(infPath))
        return QString();
    const QString local = TIniFile(infPath).ReadString(Info, QStringLiteral("LOCAL")).trimmed();
    return local.isEmpty() ? QString() : FileUtil::WithSlash(QDir::fromNativeSeparators(local));
}

// The redirect .inf files on the way from the former folder to the log's folder, without the first.
QStringList PassedRedirects(const QString &formerDir, const QString &logDir, const QString &datName)
{
    QStringList passed;
    QString dir = RedirectOf(TThreadItem::InfPathOf(formerDir + datName));
    for (int hop = 0; hop < 8 && !dir.isEmpty() && QDir(dir) != QDir(logDir); ++hop) {
        passed.append(TThreadItem::InfPathOf(dir + datName));
        dir = RedirectOf(passed.last());
    }
    return passed;
}

// The moved .inf as it was before the log left: no [ORG], no local-folder mark.
void WriteReturnedInf(const QString &infPath)
{
    TIniFile inf(infPath);
    inf.EraseSection(Org);
    inf.WriteBool(QStringLiteral("LOG"), QStringLiteral("LOCALLOG"), false);
    inf.UpdateFile();
}

}  // namespace

namespace LocalFolderReturn {

TBoard *FormerBoard(const TThreadItem &item)
{
    if (!item.LOCALLOG || !item.LogExists() || !TavuEnviron)
        return nullptr;
    const TIniFile inf(item.GetInfFile());
    const TSite *site = TavuEnviron->SiteList()->FindBySiteID(inf.ReadString(Org, QStringLiteral("SITEID")));
    return site ? site->Boards->FindByID(inf.ReadString(Org, QStringLiteral("BOARDID"))) : nullptr;
}

bool MoveBack(TThreadItem *item)
{
    const TBoard *former = FormerBoard(*item);
    if (!former)
        return false;
    const QString log = item->GetLogFile();
    const QString logDir = QFileInfo(log).path() + u'/';
    const QString formerDir = former->GetLogDir();
    const QString datName = QFileInfo(log).fileName();
    if (QDir(logDir) == QDir(formerDir) || !FileUtil::ForceDirectories(formerDir))
        return false;
    const QStringList passed = PassedRedirects(formerDir, logDir, datName);

    TFileMoves moves;   // undone when it goes out of scope before Keep
    if (!moves.Move(log, formerDir + datName)
        || !moves.Move(TThreadItem::InfPathOf(log), TThreadItem::InfPathOf(formerDir + datName)))
        return false;
    for (const QString &extension : {QStringLiteral(".txt"), QStringLiteral(".bak")}) {
        const QString file = WithExtension(log, extension);
        if (QFile::exists(file) && !moves.Move(file, WithExtension(formerDir + datName, extension)))
            return false;
    }
    try {
        WriteReturnedInf(TThreadItem::InfPathOf(formerDir + datName));
    } catch (const EFileError &) {
        return false;   // the moves are undone
    }
    moves.Keep();
    for (const QString &redirect : passed)
        QFile::remove(redirect);

    item->SetLocation(former->Site ? former->Site->SITEID : QString(), former->ID, datName, item->TITLE);
    item->LoadInfo();
    return true;
}

}  // namespace LocalFolderReturn
