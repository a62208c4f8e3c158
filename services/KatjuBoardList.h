#pragma once
// The board list of another board browser (2channel.brd) as the import (TKatjuBoardDialog) uses it,
// without its window: reading the file, finding the site that owns each board and whether it is
// registered already, and adding the boards chosen to their sites' board.dat.
//
// 2channel.brd: Shift_JIS, line 1 "2"; a line not starting with TAB is a category (its first
// TAB-separated field); a TAB-led line is a board: host (may carry a path), board id, name.

#include <QList>
#include <QString>

class TBBSList;
class TSite;
class TSiteList;

struct TKatjuBoard {
    QString Host;
    QString Name;
    QString Category;
    QString BoardID;
    TSite *Site = nullptr;     // the owning site; nullptr while none claims the board
    bool Registered = false;
    QString SiteCaption;       // the "BBS" column
};

namespace KatjuBoardList {

enum TLoadResult { lrLoaded, lrMissing, lrBadFormat };

// Reads the file into boards (cleared first) with the owner and registered state of each.
TLoadResult Load(const QString &path, const TSiteList &sites, TSite *userSite, QList<TKatjuBoard> &boards);

// The board type a board of the user site gets from its URL.
QString TypeIdForUrl(const QString &url);

// Adds each board to its owner (the user site when it has none) and writes the owners' board.dat;
// a registered board of an owner takes the host as its host path and URL. Raises EVarnelo when a
// board.dat cannot be written.
void Import(const QList<const TKatjuBoard *> &chosen, TSite *userSite, const TBBSList &types);

}  // namespace KatjuBoardList
