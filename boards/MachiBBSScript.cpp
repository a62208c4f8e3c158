#include "boards/MachiBBSScript.h"

#include "core/ThreadUploader.h"

void TMachiBBSScript::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    DownloadRawLines(job, firstMode, synchronous);
}

TPostForm TMachiBBSScript::ReplyForm(const TResUploader &job) const
{
    TPostForm form;
    form.Add(QStringLiteral("BBS"), BBSNameOf(job));
    return WriteCgiForm(job, form, false);
}

TPostForm TMachiBBSScript::NewThreadForm(const TThreadUploader &job) const
{
    TPostForm form;
    form.Add(QStringLiteral("BBS"), BBSNameOf(job));
    return WriteCgiForm(job, form, true);
}
