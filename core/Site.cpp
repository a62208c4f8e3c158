#include "core/Site.h"

#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/DataRoot.h"
#include "core/FileUtil.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"

#include <QFileInfo>

namespace {
const QString SiteSection = QStringLiteral("SITE");

struct SpecialSite {
    int kind;
    const char *folder;
    const char *name;   // UTF-8
    const char *type;
};

const SpecialSite SpecialSites[] = {
    {TSite::KIND_USER, "user", "その他のBBS", "2chscript"},
    {TSite::KIND_LOCAL, "local", "ローカルフォルダ", "localscript"},
    {TSite::KIND_FAVORITES, "favorites", "お気に入り", "favoritesscript"},
    {TSite::KIND_RSS, "rss", "RSS", "rssscript"},
};

const SpecialSite *FindSpecial(int kind)
{
    for (const SpecialSite &s : SpecialSites) {
        if (s.kind == kind)
            return &s;
    }
    return nullptr;
}

// The type that a board shortcut of the favorites falls back to when its board is found nowhere.
const QString FallbackShortcutType = QStringLiteral("2chscript");
}  // namespace

TSite::TSite(const QString &siteId, int kind, const TBBSList *types)
    : SITEID(siteId), Kind(kind), Boards(new TBoardList), types(types), ini(std::make_unique<TIniFile>())
{
    Boards->Owner = this;
    ApplyDefaults();
}

TSite::~TSite()
{
    delete Boards;
}

void TSite::ApplyDefaults()
{
    NAME = SITEID;
    if (const SpecialSite *special = FindSpecial(Kind)) {
        NAME = QString::fromUtf8(special->name);
        BBSTYPE = QLatin1String(special->type);
    }
    BBS = types ? types->FindByID(BBSTYPE) : nullptr;
}

bool TSite::Load()
{
    const QString path = FindFile(QStringLiteral("site.ini"));
    if (path.isEmpty()) {
        ini = std::make_unique<TIniFile>();
        return false;
    }
    ini = std::make_unique<TIniFile>(path);
    NAME = ini->ReadString(SiteSection, QStringLiteral("NAME"), NAME);
    URL = ini->ReadString(SiteSection, QStringLiteral("URL"));
    ADMIN = ini->ReadString(SiteSection, QStringLiteral("ADMIN"));
    BBSTYPE = ini->ReadString(SiteSection, QStringLiteral("BBSTYPE"), BBSTYPE).trimmed().toLower();
    BBS = types ? types->FindByID(BBSTYPE) : nullptr;
    CodePage = Tavutils::NameToCharset(ini->ReadString(SiteSection, QStringLiteral("CHARSET")));
    CounterID = ini->ReadString(QStringLiteral("NINKINET"), QStringLiteral("ID"));
    Includes.clear();
    for (const QString &line : ini->ReadSectionValues(QStringLiteral("INCLUDE"))) {
        const QString pattern = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        if (!pattern.isEmpty())
            Includes.append(pattern);
    }
    return true;
}

void TSite::LoadBoards()
{
    std::function<void(TBoard &)> resolve;
    if (Kind == KIND_FAVORITES)
        resolve = [this](TBoard &board) { ResolveFavoriteShortcut(board); };
    Boards->LoadBoards(FindFile(QStringLiteral("board.dat")), types, resolve);
    for (int i = 0; i < Boards->Count(); ++i) {
        TBoard *board = Boards->Get(i);
        board->LogFolderExists = QFileInfo(board->GetLogDir()).isDir();
    }
}

void TSite::SaveBoards()
{
    Boards->SaveBoards(GetDir() + QStringLiteral("board.dat"));
}

// A board shortcut of the favorites takes the type, site and log folder of the board it names, so
// its threads are the same threads as the board's own.
void TSite::ResolveFavoriteShortcut(TBoard &board) const
{
    if (board.Kind != TBoard::KIND_NORMAL || !Owner)
        return;
    for (int i = 0; i < Owner->Count(); ++i) {
        TSite *site = Owner->Get(i);
        if (site == this)
            continue;
        const TBoard *real = site->Boards->FindByID(board.ID);
        if (real && real->HostPath == board.HostPath) {
            board.Site = site;
            board.BBS = real->BBS;
            board.LogFolder = real->LogFolder;
            return;
        }
    }
    if (TSite *claimer = Owner->FindByUrl(board.URL)) {
        board.Site = claimer;
        if (board.BBS == BBS)
            board.BBS = claimer->BBS;
        return;
    }
    if (board.BBS == BBS && types)
        board.BBS = types->FindByID(FallbackShortcutType);
}

QStringList TSite::LayerDirs() const
{
    const QString part = QStringLiteral("config/site/") + SITEID + QLatin1Char('/');
    const QString profile = TavuConfig ? TavuConfig->GetProfileDir() + part : QString();
    return {profile, TTavuConfig::AppDir() + part,
            TTavuConfig::AppDir() + QStringLiteral("def/") + part};
}

QString TSite::GetDir() const
{
    return LayerDirs().first();
}

QString TSite::GetLogDir() const
{
    return TavuConfig ? TavuConfig->LogDir() + TBoard::SafePathPart(SITEID) + QLatin1Char('/') : QString();
}

QString TSite::FindFile(const QString &name) const
{
    for (const QString &dir : LayerDirs()) {
        if (!dir.isEmpty() && QFileInfo(dir + name).isFile())
            return dir + name;
    }
    return QString();
}

QString TSite::PrepareOwnFile(const QString &name) const
{
    const QString own = GetDir() + name;
    if (QFileInfo::exists(own))
        return own;
    const QString source = FindFile(name);
    if (!source.isEmpty())
        DataRoot::CopyIfMissing(source, own);
    return own;
}

bool TSite::MatchUrl(const QString &url) const
{
    for (const QString &pattern : Includes) {
        if (Tavutils::MatchWildcard(pattern, url))
            return true;
    }
    return false;
}

QString TSite::GetLocalRule(const TBoard *board) const
{
    // The user site's boards are of many servers: each board's rules lie in its own folder, as on
    // the 2ch-style servers (<boardpath> is the board's host and the folders above it).
    static const QString UserSiteLocalRule = QStringLiteral("http://<boardpath>/<bbs>/head.txt");
    QString rule = ini->ReadString(SiteSection, QStringLiteral("LOCALRULE"));
    if (rule.isEmpty() && Kind == KIND_USER)
        rule = UserSiteLocalRule;
    if (rule.isEmpty() || !board)
        return QString();
    return TBBS::FillTemplate(rule, {{QStringLiteral("<host>"), board->GetHost()},
                                     {QStringLiteral("<bbs>"), board->BBSName},
                                     {QStringLiteral("<boardpath>"), board->HostPath}});
}

int TSite::KindOfFolder(const QString &siteId)
{
    for (const SpecialSite &s : SpecialSites) {
        if (siteId.compare(QLatin1String(s.folder), Qt::CaseInsensitive) == 0)
            return s.kind;
    }
    return KIND_NORMAL;
}

QString TSite::FolderOfKind(int kind)
{
    const SpecialSite *special = FindSpecial(kind);
    return special ? QLatin1String(special->folder) : QString();
}
