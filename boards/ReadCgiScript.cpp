#include "boards/ReadCgiScript.h"

#include "boards/NumberedDownload.h"
#include "core/Board.h"
#include "core/ResDownloader.h"
#include "core/ThreadItem.h"

QString TReadCgiScript::Agent() const
{
    return TBoardScript::Agent();
}

void TReadCgiScript::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    TThreadItem *item = job->Item();
    const TBoard *board = job->Board ? job->Board : item ? item->GetBoard() : nullptr;
    if (!board || !BoardUrl(QStringLiteral("DAT"), board, QStringLiteral("0")).isEmpty())
        return T2chScript::DownloadThread(job, reload, firstMode, synchronous);
    const int stored = int(StoredLines(item).size());
    const QString url = stored > 0 && !firstMode ? GetReadUrlRange(item, stored + 1, 0, true) : GetReadUrl(item);
    TBoardRequest::Run(new TNumberedDownload(this, job, url, stored, false), synchronous);
}

QList<T2chScript::TPastLogSource> TReadCgiScript::PastLogSources(const TThreadItem *) const
{
    return {};
}
