#pragma once
// T2chKakolog ("2chkakolog"): 2ch's past-log store. A thread is read once from its copy in the
// store (the DAT template with the folders made from its key; the compressed copy first) and is a
// past log from then on; nothing is posted there.

#include "boards/2chScript.h"

class T2chKakolog : public T2chScript {
public:
    using T2chScript::T2chScript;

    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;
    QList<TPastLogSource> PastLogSources(const TThreadItem *item) const override;
};
