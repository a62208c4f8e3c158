#pragma once
// TTavuUpdateCheck: the update check of a thread-list tab. It downloads the thread list of every
// board its items come from and marks the items whose response count on the server has grown
// (updated mark, listed count raised) and, as ROUND_KAKO_OCHI says, those no longer listed. It
// writes no file of the items: its results are their fields in memory, which the thread list shows.
//
// Only a whole, fresh listing tells that a thread fell off its board: a failed download, a "not
// modified" answer, an empty listing or a listing fetched page by page (of which only the first page
// comes) never marks a thread as fallen.

#include "services/TavuCheck.h"

class TThreadItemList;
class TThreadListDownloader;

class TTavuUpdateCheck : public TTavuCheck {
    Q_OBJECT
public:
    void ShowProgress() override;
    void Stop() override;
    int NewSound() const override;
    int NoNewSound() const override;
    bool SoundsDuringRun() const override;

protected:
    void run() override;   // Execute

private:
    // The boards of the items, in item order, one entry each.
    QList<TEntry> DistinctBoards() const;
    void CheckBoard(const TEntry &board);
    // Downloads the board's listing into result; false when the download raised.
    bool DownloadListing(const TEntry &board, TThreadItemList &result, bool &complete);
    // Compares the board's items with the listing (GUI thread); returns the number of updates.
    int ApplyListing(const TEntry &board, const TThreadItemList &listed, bool complete);
    void ListingError(TThreadListDownloader *job, int code, const QString &message);
    bool SameBoard(const TEntry &entry, const TEntry &board) const;
};
