#include "boards/2chKakolog.h"

#include "boards/DatDownload.h"

void T2chKakolog::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    TBoardRequest::Run(new TDatDownload(this, job, reload, firstMode, true), synchronous);
}

QList<T2chScript::TPastLogSource> T2chKakolog::PastLogSources(const TThreadItem *item) const
{
    return KakoSources(item, QStringLiteral("DAT"));
}
