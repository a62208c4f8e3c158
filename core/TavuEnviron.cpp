#include "core/TavuEnviron.h"

#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/DataRoot.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"

#include <QFileInfo>
#include <QMutexLocker>

TTavuEnviron *TavuEnviron = nullptr;

namespace {
// The memo keeps the latest lines only, so a long session does not grow without end.
constexpr int MaxTraceLines = 5000;
}

TTavuEnviron::TTavuEnviron() : bbsList(std::make_unique<TBBSList>()), siteList(std::make_unique<TSiteList>()) {}
TTavuEnviron::~TTavuEnviron() = default;

void TTavuEnviron::AddTrace(const QString &text)
{
    std::function<void(const QString &)> sink;
    {
        QMutexLocker lock(&traceLock);
        trace.append(text);
        if (trace.size() > MaxTraceLines)
            trace.remove(0, trace.size() - MaxTraceLines);
        sink = traceSink;
    }
    if (sink)
        sink(text);
}

void TTavuEnviron::SetTraceSink(std::function<void(const QString &)> sink)
{
    QMutexLocker lock(&traceLock);
    traceSink = std::move(sink);
}

QStringList TTavuEnviron::TraceLines() const
{
    QMutexLocker lock(&traceLock);
    return trace;
}

// ---- board types ----

QStringList TTavuEnviron::BuiltinBBSIDs()
{
    return {QStringLiteral("dolibscript"),    QStringLiteral("2chkakolog"),    QStringLiteral("2chscript"),
            QStringLiteral("shitarabajbbs"),  QStringLiteral("jbbsscript"),    QStringLiteral("machibbsscript"),
            QStringLiteral("megabbsscript"),  QStringLiteral("15chscript"),    QStringLiteral("12chscript"),
            QStringLiteral("1_5chscript"),    QStringLiteral("ahhanscript"),   QStringLiteral("localscript"),
            QStringLiteral("favoritesscript"), QStringLiteral("wwwscript"),    QStringLiteral("rssscript")};
}

TBBS *TTavuEnviron::MakeBBS(const QString &id)
{
    const QString folder = TTavuConfig::AppDir() + QStringLiteral("config/bbs/") + id + QLatin1Char('/');
    TBBS *bbs = bbsFactory ? bbsFactory(id, folder) : nullptr;
    return bbs ? bbs : new TBBS(id, folder);
}

void TTavuEnviron::CreateBBSList()
{
    bbsList->Clear();
    for (const QString &id : BuiltinBBSIDs())
        bbsList->Add(MakeBBS(id));

    const TIniFile ini(TTavuConfig::AppDir() + QStringLiteral("config/bbslist.ini"));
    const QString section = QStringLiteral("BBSLIST");
    const int count = ini.ReadInteger(section, QStringLiteral("COUNT"), 0);
    for (const int i : ini.ReadKeyNumbers(section, QStringLiteral("BBS"), count)) {
        const QString id = ini.ReadString(section, QStringLiteral("BBS") + QString::number(i)).trimmed();
        const QString bbsIni = TTavuConfig::AppDir() + QStringLiteral("config/bbs/") + id + QStringLiteral("/bbs.ini");
        if (!TBoard::IsSafePathPart(id))
            loadMessages << QStringLiteral("板の種類の名前が不正です：「%1」").arg(id);
        else if (bbsList->FindByID(id))
            loadMessages << QStringLiteral("板の種類が重複しています：%1").arg(id);
        else if (!QFileInfo(bbsIni).isFile())
            loadMessages << QStringLiteral("板の種類の設定ファイルがありません：%1").arg(bbsIni);
        else
            bbsList->Add(MakeBBS(id));
    }
}

// ---- sites ----

void TTavuEnviron::LoadSites()
{
    siteList->Clear();
    LoadListedSites();
    userSite = LoadSite(TSite::FolderOfKind(TSite::KIND_USER), TSite::KIND_USER);
    localSite = LoadSite(TSite::FolderOfKind(TSite::KIND_LOCAL), TSite::KIND_LOCAL);
    rssSite = LoadSite(TSite::FolderOfKind(TSite::KIND_RSS), TSite::KIND_RSS);
    favoritesSite = LoadSite(TSite::FolderOfKind(TSite::KIND_FAVORITES), TSite::KIND_FAVORITES);
}

void TTavuEnviron::LoadListedSites()
{
    const QString path = TTavuConfig::AppDir() + QStringLiteral("config/sitelist.ini");
    DataRoot::CopyIfMissing(TTavuConfig::AppDir() + QStringLiteral("def/config/sitelist.ini"), path);
    const TIniFile ini(path);
    const QString section = QStringLiteral("SITE");
    const int count = ini.ReadInteger(section, QStringLiteral("COUNT"), -1);
    if (count < 0) {
        if (QFileInfo(path).size() > 0)
            loadMessages << QStringLiteral("サイト一覧ファイルを読めませんでした（ファイルは修復のためそのまま残してあります）：%1").arg(path);
        return;
    }
    const QList<int> listed = ini.ReadKeyNumbers(section, QStringLiteral("SITE"), count);
    // A damaged line loses its key: the sites it named are told (the first few of them).
    QStringList missing;
    for (int i = 1; i <= count && missing.size() < 10; ++i) {
        if (!listed.contains(i))
            missing << QStringLiteral("SITE%1").arg(i);
    }
    if (!missing.isEmpty())
        loadMessages << QStringLiteral("サイト一覧ファイルの %1 を読めませんでした：%2").arg(missing.join(QStringLiteral(", ")), path);
    QStringList seen;
    for (const int i : listed) {
        const QString siteId = ini.ReadString(section, QStringLiteral("SITE") + QString::number(i)).trimmed();
        if (siteId.isEmpty() || TSite::KindOfFolder(siteId) != TSite::KIND_NORMAL)
            continue;
        if (!TBoard::IsSafePathPart(siteId)) {
            loadMessages << QStringLiteral("サイトの名前が不正です：「%1」").arg(siteId);
        } else if (seen.contains(siteId, Qt::CaseInsensitive)) {
            loadMessages << QStringLiteral("サイトが重複しています：%1").arg(siteId);
        } else {
            seen << siteId;
            LoadSite(siteId, TSite::KIND_NORMAL);
        }
    }
}

// A board.dat that gave nothing, or lines of it that could not be read, are told; the file is kept.
void TTavuEnviron::NoteUnreadBoards(const TSite &site)
{
    const QString path = site.FindFile(QStringLiteral("board.dat"));
    if (site.Boards->Unreadable())
        loadMessages << QStringLiteral("板一覧ファイルを読めませんでした（ファイルは修復のためそのまま残してあります）：%1").arg(path);
    else if (site.Boards->BrokenLines() > 0)
        loadMessages << QStringLiteral("板一覧ファイルの%1行を読めませんでした（行はそのまま残してあります）：%2")
                            .arg(site.Boards->BrokenLines())
                            .arg(path);
}

TSite *TTavuEnviron::AddListedSite(const QString &siteId)
{
    if (!TBoard::IsSafePathPart(siteId) || TSite::KindOfFolder(siteId) != TSite::KIND_NORMAL)
        return nullptr;
    const QString folder = TTavuConfig::AppDir() + QStringLiteral("config/site/") + siteId;
    if (!QFileInfo::exists(folder + QStringLiteral("/site.ini")))
        return nullptr;
    TIniFile ini(TTavuConfig::AppDir() + QStringLiteral("config/sitelist.ini"));
    const QString section = QStringLiteral("SITE");
    const int count = ini.ReadInteger(section, QStringLiteral("COUNT"), 0);
    QStringList listed;
    for (const int i : ini.ReadKeyNumbers(section, QStringLiteral("SITE"), count))
        listed << ini.ReadString(section, QStringLiteral("SITE") + QString::number(i)).trimmed();
    if (!listed.contains(siteId, Qt::CaseInsensitive)) {
        ini.WriteInteger(section, QStringLiteral("COUNT"), count + 1);
        ini.WriteString(section, QStringLiteral("SITE") + QString::number(count + 1), siteId);
        ini.UpdateFile();
    }
    if (TSite *loaded = siteList->FindBySiteID(siteId))
        return loaded;
    return LoadSite(siteId, TSite::KIND_NORMAL);
}

// Loads one site and its boards into the list. A listed site without site.ini is skipped; a special
// site without one keeps the defaults of its kind, so the program always has its four special sites.
TSite *TTavuEnviron::LoadSite(const QString &siteId, int kind)
{
    auto site = std::make_unique<TSite>(siteId, kind, bbsList.get());
    if (!site->Load() && kind == TSite::KIND_NORMAL) {
        loadMessages << QStringLiteral("サイトの設定ファイル site.ini がありません：%1").arg(siteId);
        return nullptr;
    }
    if (!site->BBS)
        loadMessages << QStringLiteral("サイト %1 の板の種類「%2」がありません。").arg(siteId, site->BBSTYPE);
    TSite *added = site.release();
    siteList->Add(added);
    added->LoadBoards();
    NoteUnreadBoards(*added);
    return added;
}

// ---- save mode ----

bool TTavuEnviron::GetCached() const
{
    return TavuConfig ? TavuConfig->CACHED : cachedWithoutConfig;
}

void TTavuEnviron::SetCached(bool on, bool thisRunOnly)
{
    cachedWithoutConfig = on;
    if (!TavuConfig)
        return;
    TavuConfig->CACHED = on;
    TavuConfig->CachedOverride = thisRunOnly;
}
