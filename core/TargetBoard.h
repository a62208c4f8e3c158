#pragma once
// TTargetBoard, TTargetBoardList: the boards a rule applies to.
//
// An entry names one board by its site's SITEID and the board id. The all-boards flag widens it to
// every board of that site; the SITEID "#ALL" stands for every board of every site.

#include <QString>

#include <memory>
#include <vector>

class TTargetBoard {
public:
    TTargetBoard() = default;
    TTargetBoard(QString siteId, QString boardId, bool allBoards = false)
        : SiteID(std::move(siteId)), BoardID(std::move(boardId)), AllBoards(allBoards) {}

    static const QString &AllSites();   // "#ALL"

    // True when the entry covers the board of that site.
    bool Targets(const QString &siteId, const QString &boardId) const;

    QString SiteID;
    QString BoardID;
    bool AllBoards = false;
};

// Owns its entries.
class TTargetBoardList {
public:
    void Add(std::unique_ptr<TTargetBoard> board);
    void Add(const QString &siteId, const QString &boardId, bool allBoards = false);
    TTargetBoard *Get(int index) const;
    int Count() const { return static_cast<int>(boards.size()); }
    void Clear() { boards.clear(); }

    // True when some entry covers the board; an empty list covers none.
    bool Targets(const QString &siteId, const QString &boardId) const;

private:
    std::vector<std::unique_ptr<TTargetBoard>> boards;
};
