#pragma once
// TReadCgiScript: the other boards that run read.cgi and bbs.cgi in the 2ch manner ("15chscript",
// "1_5chscript", "12chscript", "ahhanscript"). A board with a DAT template is read from its dat files
// as 2ch is; a board without one is read from its read.cgi pages, converted to dat lines. Their
// requests carry the program's own agent, and they keep no past-log folder.

#include "boards/2chScript.h"

class TReadCgiScript : public T2chScript {
public:
    using T2chScript::T2chScript;

    QString Agent() const override;
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;
    QList<TPastLogSource> PastLogSources(const TThreadItem *item) const override;
};
