#pragma once
// TJbbsScript: Shitaraba and the JBBS family ("shitarabajbbs", "jbbsscript"). Their boards speak
// EUC-JP: the thread list, the numbered raw lines of a thread (asked from the first response not
// yet stored) and the posts, whose bodies are sent in EUC-JP. A board is named by its folder
// ("DIR") and its number.

#include "boards/BoardScript.h"

class TJbbsScript : public TBoardScript {
public:
    using TBoardScript::TBoardScript;

    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;

protected:
    TPostForm ReplyForm(const TResUploader &job) const override;
    TPostForm NewThreadForm(const TThreadUploader &job) const override;
};
