#pragma once
// TMachiBBSScript ("machibbsscript"): Machi BBS. Its thread list is a subject.txt; a thread comes as
// numbered raw lines from offlaw.cgi, asked from the first response not yet stored; posts go to
// write.cgi with the upper-case field names of its script.

#include "boards/BoardScript.h"

class TMachiBBSScript : public TBoardScript {
public:
    using TBoardScript::TBoardScript;

    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;

protected:
    TPostForm ReplyForm(const TResUploader &job) const override;
    TPostForm NewThreadForm(const TThreadUploader &job) const override;
};
