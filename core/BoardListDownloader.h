#pragma once
// TBoardListDownloader: the record of one board-list download: the site, its board type, the code page
// the lines are converted from, a scratch text kept from line to line by the board-list script, and
// the board lists that collect the boards reported (owned by the record).

#include <QString>
#include <memory>

class TBBS;
class TBoardList;
class TSite;

class TBoardListDownloader {
public:
    TBoardListDownloader();
    ~TBoardListDownloader();
    TBoardListDownloader(const TBoardListDownloader &) = delete;
    TBoardListDownloader &operator=(const TBoardListDownloader &) = delete;

    TSite *Site = nullptr;
    TBBS *BBS = nullptr;
    int CodePage = 0;          // 0 Shift_JIS, 1 EUC-JP, 2 UTF-8
    QString TempData;          // the scratch text
    std::unique_ptr<TBoardList> Boards;      // the boards the site's patterns claim
    std::unique_ptr<TBoardList> Unclaimed;   // the other boards the page listed
};
