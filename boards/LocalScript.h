#pragma once
// TLocalScript ("localscript"): logs kept in a local folder. The thread list is the folder's dat
// files (their titles from the .inf, else from the first line of the log); nothing is fetched or
// posted: a thread's download only reports that nothing is new.

#include "core/BBS.h"

class TLocalScript : public TBBS {
public:
    using TBBS::TBBS;

    bool IsRemote() const override;
    void DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous = false) override;
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;
};
