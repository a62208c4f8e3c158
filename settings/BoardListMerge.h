#pragma once
// TBoardListMerge: the end of a board-list update. The boards read from the site's board-list page
// are compared with the site's boards by id: boards added, deleted, renamed and moved to another
// URL are written to the log, and when anything changed the new list replaces the site's board.dat
// and the site reads it again.
//
// What is checked follows the options. A new board whose id the site's board.abone names is never
// added. A deleted board that has logs stays, in the category "deleted", so its logs remain
// reachable; with deletions not checked every board the page no longer lists is kept as it was.
// A download that did not finish changes nothing: a page cut short would look like deleted boards.

#include <QString>
#include <QStringList>

class TBoard;
class TBoardList;
class TSite;

class TBoardListMerge {
public:
    struct TOptions {
        bool DetectAdded = true;
        bool DetectChanged = true;   // names and URLs
        bool DetectDeleted = true;
    };

    // fresh: the boards read from the page; the merge works on it and leaves what it wrote in it.
    TBoardListMerge(TSite *site, TBoardList &fresh, const TOptions &options);

    // Compares, writes board.dat when anything changed and returns the log lines. Raises EVarnelo
    // when board.dat cannot be written (the old file is then untouched).
    QStringList Run(bool downloadFailed);

    int Added = 0;
    int Moved = 0;
    int Deleted = 0;
    int Renamed = 0;
    bool Written = false;   // board.dat was rewritten and the site's boards read again

    // The ids of the site's board.abone (one per line); empty when it has none.
    static QStringList LoadAboneIds(const TSite *site);
    // Removes from the boards read those that another site already holds (the same host path and
    // id; the favourites' shortcuts do not count) and the site does not: the update never makes a
    // second copy of a board. Returns how many went.
    static int DropBoardsOfOtherSites(const TSite *site, TBoardList &fresh);

private:
    TSite *site;
    TBoardList &fresh;
    TOptions options;
    QStringList log;

    void DetectAdded(const QStringList &abone);
    void DetectDeleted();
    void KeepMissing();
    void DetectRenamed();
    void DetectMoved();
    void ApplyBeCharsets();
    void Save();
    void Summary();
    void RepointFavorites(const TBoard &old, const TBoard &board);
};
