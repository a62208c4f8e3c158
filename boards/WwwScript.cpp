#include "boards/WwwScript.h"

#include "core/Board.h"
#include "core/ResDownloader.h"
#include "core/ThreadItem.h"

bool TWwwScript::IsWebPage() const
{
    return true;
}

bool TWwwScript::IsRemote() const
{
    return false;
}

void TWwwScript::DownloadThread(TResDownloader *job, bool, bool, bool synchronous)
{
    const QString page = !job->Url().isEmpty() ? job->Url() : GetThreadUrl(job->Item());
    Report(synchronous, [job, page] {
        if (page.isEmpty()) {
            job->DeliverError(-1, QStringLiteral("ページのURLがありません。"), QString());
            job->DeliverDone(true);
            return;
        }
        job->DeliverWebPage(page);
        job->DeliverDone(false);
    });
}

QString TWwwScript::GetThreadUrl(const TThreadItem *item) const
{
    const TBoard *board = item ? item->GetBoard() : nullptr;
    return board ? board->URL : QString();
}

QString TWwwScript::GetReadUrl(const TThreadItem *item, const QString &) const
{
    return GetThreadUrl(item);
}
