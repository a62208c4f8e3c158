#include "services/KatjuBoardList.h"

#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace KatjuBoardList {

namespace {

QString BoardUrl(const TKatjuBoard &entry)
{
    return QStringLiteral("http://") + entry.Host + QLatin1Char('/') + entry.BoardID + QLatin1Char('/');
}

// The boards of each site by id, made once per site on first use, so that a list of any length
// is matched in linear time.
class TBoardIndex {
public:
    TBoard *Find(TSite *site, const QString &id)
    {
        auto known = bySite.find(site);
        if (known == bySite.end()) {
            known = bySite.insert(site, {});
            for (int i = site->Boards->Count() - 1; i >= 0; --i)   // the first of an id wins
                known->insert(site->Boards->Get(i)->ID, site->Boards->Get(i));
        }
        return known->value(id);
    }
    void Add(TSite *site, TBoard *board)
    {
        Find(site, board->ID);
        bySite[site].insert(board->ID, board);
    }

private:
    QHash<TSite *, QHash<QString, TBoard *>> bySite;
};

// The boards of the user site by host and id; the last of a pair wins.
QHash<QString, const TBoard *> UserBoards(const TSite *userSite)
{
    QHash<QString, const TBoard *> boards;
    for (int i = 0; userSite && i < userSite->Boards->Count(); ++i) {
        const TBoard *board = userSite->Boards->Get(i);
        boards.insert(board->HostPath + QLatin1Char('\t') + board->ID, board);
    }
    return boards;
}

// The owner and the registered state of an entry. The owner is asked about the board URL, so that
// patterns ending in "/*" claim it.
void FindOwner(TKatjuBoard &entry, const TSiteList &sites, TSite *userSite,
               const QHash<QString, const TBoard *> &userBoards, TBoardIndex &index)
{
    entry.Site = sites.FindByUrl(BoardUrl(entry));
    if (entry.Site) {
        entry.SiteCaption = entry.Site->NAME;
        entry.Registered = index.Find(entry.Site, entry.BoardID) != nullptr;
        return;
    }
    entry.SiteCaption = QStringLiteral("(不明)");
    if (const TBoard *board = userBoards.value(entry.Host + QLatin1Char('\t') + entry.BoardID)) {
        entry.Registered = true;
        entry.Site = userSite;
        entry.SiteCaption = QStringLiteral("その他のBBS(") + board->Category + QLatin1Char(')');
    }
}

TBoard *NewBoard(const TKatjuBoard &entry, TSite *owner)
{
    auto *board = new TBoard;
    board->Kind = TBoard::KIND_NORMAL;
    board->Name = entry.Name;
    board->Category = entry.Category;
    board->HostPath = entry.Host;
    board->ID = entry.BoardID;
    board->BBSName = entry.BoardID;
    board->Site = owner;
    board->URL = BoardUrl(entry);
    board->CodePage = owner->CodePage;
    return board;
}

}  // namespace

TLoadResult Load(const QString &path, const TSiteList &sites, TSite *userSite, QList<TKatjuBoard> &boards)
{
    boards.clear();
    if (!QFileInfo::exists(path))
        return lrMissing;
    const QStringList lines = jconvert::SjisToUnicode(FileUtil::ReadFile(path)).split(QStringLiteral("\n"));
    if (lines.isEmpty() || lines.first().trimmed() != QLatin1String("2"))
        return lrBadFormat;
    const QHash<QString, const TBoard *> userBoards = UserBoards(userSite);
    TBoardIndex index;
    QString category;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (!line.startsWith(QLatin1Char('\t'))) {
            category = fields.first();
            continue;
        }
        TKatjuBoard entry;
        entry.Host = fields.value(1);
        entry.BoardID = fields.value(2);
        entry.Name = fields.value(3);
        entry.Category = category;
        if (entry.Host.isEmpty() || !TBoard::IsSafePathPart(entry.BoardID))
            continue;
        FindOwner(entry, sites, userSite, userBoards, index);
        boards << entry;
    }
    return lrLoaded;
}

QString TypeIdForUrl(const QString &url)
{
    if (url.contains(QLatin1String("jbbs.net")) || url.contains(QLatin1String("jbbs.com")))
        return QStringLiteral("jbbsscript");
    if (url.contains(QLatin1String("jbbs.shitaraba.com")))
        return QStringLiteral("shitarabajbbs");
    if (url.contains(QLatin1String("megabbs.com")))
        return QStringLiteral("megabbsscript");
    if (url.contains(QLatin1String("12ch.net")))
        return QStringLiteral("12chscript");
    if (url.contains(QLatin1String(".2ch.net")))
        return QStringLiteral("dolibscript");
    return QStringLiteral("2chscript");
}

void Import(const QList<const TKatjuBoard *> &chosen, TSite *userSite, const TBBSList &types)
{
    QList<TSite *> changed;
    TBoardIndex index;
    for (const TKatjuBoard *entry : chosen) {
        TSite *owner = entry->Site ? entry->Site : userSite;
        if (entry->Registered) {
            if (TBoard *board = index.Find(owner, entry->BoardID)) {
                board->HostPath = entry->Host;
                board->URL = BoardUrl(*entry);
            }
            continue;
        }
        if (index.Find(owner, entry->BoardID))
            continue;   // an id the site has already: the first of the list is kept
        TBoard *board = NewBoard(*entry, owner);
        if (!entry->Site) {
            board->BBS = types.FindByID(TypeIdForUrl(board->URL));
            board->CodePage = board->BBS ? board->BBS->CharSet : 0;
        }
        owner->Boards->Add(board);
        index.Add(owner, board);
        if (!changed.contains(owner))
            changed << owner;
    }
    for (TSite *site : changed)
        site->SaveBoards();
}

}  // namespace KatjuBoardList
