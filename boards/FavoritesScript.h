#pragma once
// TFavoritesScript ("favoritesscript"): the favorites folders. A folder's threads are the lines of
// its folder file (<folder's log folder><folder id>.txt: line 1 the folder name, then one thread
// per line: SITEID TAB board id TAB key TAB title TAB "1"). The threads themselves belong to their
// own boards, whose types download them.

#include "core/BBS.h"

class TThreadItemList;

class TFavoritesScript : public TBBS {
public:
    using TBBS::TBBS;

    bool IsRemote() const override;
    // One item per thread line of the folder's file (a missing file is an empty folder).
    void DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous = false) override;
    // The thread's own board type downloads it.
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;

    // Fills the list with the thread items of one favorites folder (the list takes its references).
    static void CollectFolderThreads(const TBoard *folder, TThreadItemList *list);
};
