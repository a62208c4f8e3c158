#pragma once
// TWwwScript ("wwwscript"): plain web pages kept as boards (the favorites' web pages). The page is
// shown by the browser itself: a thread download reports the page's URL, and nothing is fetched
// by the program.

#include "core/BBS.h"

class TWwwScript : public TBBS {
public:
    using TBBS::TBBS;

    bool IsWebPage() const override;
    bool IsRemote() const override;

    // The page of a thread: the download's URL when it has one, else the board's URL.
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;
    // Every URL of a thread of a web page is the page.
    QString GetThreadUrl(const TThreadItem *item) const override;
    QString GetReadUrl(const TThreadItem *item, const QString &range = QString()) const override;
};
