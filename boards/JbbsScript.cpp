#include "boards/JbbsScript.h"

#include "core/Board.h"
#include "core/ThreadUploader.h"

void TJbbsScript::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    DownloadRawLines(job, firstMode, synchronous);
}

namespace {
// The fields that name the board: its folder and its number.
TPostForm BoardFields(const TResUploader &job, const QString &bbs)
{
    TPostForm form;
    form.Add(QStringLiteral("DIR"), job.Board ? job.Board->GetDir() : QString());
    form.Add(QStringLiteral("BBS"), bbs);
    return form;
}
}  // namespace

TPostForm TJbbsScript::ReplyForm(const TResUploader &job) const
{
    return WriteCgiForm(job, BoardFields(job, BBSNameOf(job)), false);
}

TPostForm TJbbsScript::NewThreadForm(const TThreadUploader &job) const
{
    return WriteCgiForm(job, BoardFields(job, BBSNameOf(job)), true);
}
