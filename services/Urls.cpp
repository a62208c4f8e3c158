#include "services/Urls.h"

#include "boards/DatConv.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <algorithm>

namespace Urls {

namespace {

// The board's read address as far as it does not depend on the thread: the type's read template
// with the board's host, bbs name, host path and folder filled and the thread part dropped.
QString ReadBaseOf(const TBoard *board)
{
    const QString base = board->BBS->GetReadCgiBaseUrl(board);
    if (base.isEmpty())
        return QString();
    const QMap<QString, QString> values{
        {QStringLiteral("<host>"), MonaUtils::ExtractUrlHost(board->URL)},
        {QStringLiteral("<bbs>"), board->BBSName},
        {QStringLiteral("<boardpath>"), board->HostPath},
        {QStringLiteral("<dir>"), board->GetDir()},
        {QStringLiteral("<dat>/"), QString()},
    };
    return TBBS::FillTemplate(base, values);
}

bool BoardClaimsUrl(const TBoard *board, const QString &url)
{
    if (!board->BBS)
        return false;
    if (!board->HostPath.isEmpty() && !board->ID.isEmpty() && url.contains(board->HostPath)
        && url.contains(board->ID))
        return true;
    const QString base = ReadBaseOf(board);
    return !base.isEmpty() && url.contains(base);
}

// The user-defined sites are asked first: a board of theirs that the URL names gives the site and
// the board's type. A later site that claims the URL wins over an earlier one.
TBBS *MatchUserSites(const QString &url, TSite *&site)
{
    TBBS *type = nullptr;
    const TSiteList *sites = TavuEnviron->SiteList();
    for (int i = 0; i < sites->Count(); ++i) {
        TSite *candidate = sites->Get(i);
        if (candidate->Kind != TSite::KIND_USER)
            continue;
        for (int j = 0; j < candidate->Boards->Count(); ++j) {
            const TBoard *board = candidate->Boards->Get(j);
            if (BoardClaimsUrl(board, url)) {
                site = candidate;
                type = board->BBS;
                break;
            }
        }
    }
    return type;
}

// The first site whose INCLUDE patterns claim the URL, as given or as its type writes it.
TBBS *MatchSitePatterns(const QString &url, TSite *&site)
{
    const TSiteList *sites = TavuEnviron->SiteList();
    for (int i = 0; i < sites->Count(); ++i) {
        TSite *candidate = sites->Get(i);
        if (!candidate->BBS)
            continue;
        if (candidate->MatchUrl(url) || candidate->MatchUrl(candidate->BBS->NormalizeUrl(url))) {
            site = candidate;
            return candidate->BBS;
        }
    }
    return nullptr;
}

// The script part of a URL ("read.cgi" of ".../test/read.cgi?bbs=..."), without its query.
QString ScriptPart(const QString &url)
{
    const QString name = MonaUtils::ExtractUrlName(url);
    const int query = name.indexOf(QLatin1Char('?'));
    return query < 0 ? name : name.left(query);
}

bool IsReadScriptOf(const TBBS *type, const QString &normalized)
{
    const QString script = ScriptPart(normalized);
    const QString typeScript = MonaUtils::ExtractUrlName(type->GetReadCgiUrl(nullptr, QString()));
    return !script.isEmpty() && typeScript.contains(script);
}

bool ParseTypeUrl(const TBBS *type, const QString &url, TBoardUrlParts &parts)
{
    parts = TBoardUrlParts();
    const QString normalized = type->NormalizeUrl(url);
    const TScriptParam &param = type->Param;
    auto value = [&normalized](const QString &name) {
        return name.isEmpty() ? QString() : MonaUtils::GetQueryValue(normalized, name);
    };
    parts.BBS = value(param.PARAM_BBS);
    parts.Key = value(param.PARAM_DAT);
    const int start = value(param.PARAM_START).toInt();
    const int end = value(param.PARAM_END).toInt();
    const int res = value(param.PARAM_RES).toInt();
    parts.ResNo = start > 0 ? start : res;
    parts.From = res > 0 ? res : start;
    parts.To = res > 0 ? res : end;
    // Response 1 is left out when the URL says so, or, when it says nothing, as the popup setting says.
    const QString noFirst = value(param.PARAM_NOFIRST);
    parts.NoFirst = noFirst.isEmpty() ? TavuConfig->RES1NOPOPUP : noFirst == param.PARAM_TRUE;
    return !parts.BBS.isEmpty() && !parts.Key.isEmpty();
}

// The board of the site that the bbs name of a thread URL names: the one on the URL's host first (a
// site may hold boards of one name on several servers), else the one whose id is the bbs name.
TBoard *BoardOfSite(const TSite *site, const QString &url, const QString &bbs)
{
    const QString host = MonaUtils::ExtractUrlHost(url).toLower();
    for (int i = 0; i < site->Boards->Count(); ++i) {
        TBoard *board = site->Boards->Get(i);
        if (board->BBSName == bbs && TBBS::HostOf(board) == host)
            return board;
    }
    return site->Boards->FindByID(bbs);
}

// A board of any site whose own host and type make the URL one of its threads: boards registered on
// servers that no site's patterns claim, and boards added by hand to a site on another server.
TBoard *BoardOnHost(const QString &url, TBoardUrlParts &parts)
{
    const QString host = MonaUtils::ExtractUrlHost(url).toLower();
    if (host.isEmpty())
        return nullptr;
    const TSiteList *sites = TavuEnviron->SiteList();
    for (int i = 0; i < sites->Count(); ++i) {
        const TSite *site = sites->Get(i);
        if (site->Kind == TSite::KIND_FAVORITES || site->Kind == TSite::KIND_LOCAL)
            continue;
        for (int j = 0; j < site->Boards->Count(); ++j) {
            TBoard *board = site->Boards->Get(j);
            if (!board->BBS || board->Kind != TBoard::KIND_NORMAL || TBBS::HostOf(board) != host)
                continue;
            if (IsReadScriptOf(board->BBS, board->BBS->NormalizeUrl(url)) && ParseTypeUrl(board->BBS, url, parts)
                && parts.BBS == board->BBSName)
                return board;
        }
    }
    return nullptr;
}

void BindStoredThread(TThreadItem &item, TBBS *type, const TBoardUrlParts &parts, TResList *resList)
{
    item.LoadInfo();
    item.BBS = type;
    if (!resList)
        return;
    TResList log(&item);
    item.LoadResList(log);
    FillPopupResList(log, *resList, parts.From, parts.To, parts.NoFirst);
}

void BindUnreadThread(TThreadItem &item, TBBS *type, TSite *site, const TBoard *board, const QString &key)
{
    item.BBS = type;
    item.Site = site;
    item.BoardID = board->ID;
    item.SetTitle(board->LookupSubjectTitle(key));
}

}  // namespace

bool ParseBoardUrl(const QString &url, const TBoard *board, TBoardUrlParts &parts)
{
    if (!board || !board->BBS) {
        parts = TBoardUrlParts();
        return false;
    }
    return ParseTypeUrl(board->BBS, url, parts);
}

bool MatchBoardUrl(const QString &url, TResList *resList, TThreadItem &item, int &resNo, TSite *&site,
                   TBoard *&board)
{
    if (resList)
        resList->Clear();
    resNo = 0;
    site = nullptr;
    board = nullptr;
    if (!TavuEnviron)
        return false;

    TBBS *type = MatchUserSites(url, site);
    if (!type)
        type = MatchSitePatterns(url, site);
    TBoardUrlParts parts;
    if (type && IsReadScriptOf(type, type->NormalizeUrl(url)) && ParseTypeUrl(type, url, parts))
        board = BoardOfSite(site, url, parts.BBS);
    if (!board) {
        board = BoardOnHost(url, parts);
        if (!board) {
            site = nullptr;
            return false;
        }
        site = board->Site;
        type = board->BBS;
    }
    resNo = parts.ResNo;

    // The key comes from outside: SetLocation refuses one that is not a safe file name.
    const QString key = DatConv::ExtractFileKey(parts.Key);
    if (!item.SetLocation(site->SITEID, board->ID, key + QStringLiteral(".dat"), QString())) {
        board = nullptr;
        return false;
    }
    if (item.LogExists())
        BindStoredThread(item, type, parts, resList);
    else
        BindUnreadThread(item, type, site, board, key);
    return true;
}

void FillPopupResList(const TResList &source, TResList &target, int from, int to, bool noFirst)
{
    const int count = source.Count();
    const int maxCount = std::max(1, TavuConfig->MAXPOPUPCOUNT);
    if (from <= 0 && to <= 0) {
        from = std::max(1, count - maxCount + 1);
        to = count;
    } else if (from <= 0) {
        from = std::max(1, to - maxCount + 1);
    }
    to = std::max(to, from);
    for (int i = 0; i < count; ++i) {
        auto *copy = new TRes;
        copy->Assign(*source.Get(i));
        copy->Number = i + 1;
        copy->Visible = (copy->Number == 1 && !noFirst) || (copy->Number >= from && copy->Number <= to);
        target.Add(copy);
    }
}

bool IsBoardUrl(const QString &url, TBoard *&board)
{
    board = nullptr;
    if (!TavuEnviron || url.isEmpty())
        return false;
    const TSiteList *sites = TavuEnviron->SiteList();
    for (int i = 0; i < sites->Count(); ++i) {
        TBoard *found = sites->Get(i)->Boards->FindByUrl(url);
        if (found) {
            board = found->Kind == TBoard::KIND_WWW ? nullptr : found;
            return board != nullptr;
        }
    }
    return false;
}

void OpenUrlExternal(const QString &url)
{
    const QUrl target = QUrl::fromUserInput(url);
    const QString scheme = target.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp"))
        return;
    if (TavuConfig->URL_EXECDEFAULTBROWSER || TavuConfig->URL_BROWSERPATH.isEmpty())
        QDesktopServices::openUrl(target);
    else
        QProcess::startDetached(TavuConfig->URL_BROWSERPATH, {target.toString()});
}

}  // namespace Urls
