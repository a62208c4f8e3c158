#pragma once
// TSubjectDownload: the thread list of a board from its subject.txt. Each line ("key.dat<>title (n)",
// or the old "key.cgi,title(n)" form) becomes a thread item reported as it arrives. The list is asked
// for with the validators of subject.inf; a "not modified" answer reports the stored subject.txt.
// A complete new list is stored, when save mode is on, as subject.txt (Shift_JIS, CR LF) together
// with its validators in subject.inf, so the two always describe the same list.

#include "boards/BoardRequest.h"
#include "boards/SubjectStore.h"
#include "boards/ThreadListing.h"

#include <QByteArray>

class TBoard;
class TBoardScript;
class TThreadListDownloader;

class TSubjectDownload : public TBoardRequest {
    Q_OBJECT
public:
    TSubjectDownload(const TBoardScript *bbs, TThreadListDownloader *job, bool reload);

protected:
    void Start() override;

private:
    const TBoardScript *bbs;
    TThreadListDownloader *job;
    TBoard *board;
    bool reload;
    TThreadListing listing;
    TSubjectStore store;
    QByteArray stored;      // the list as it will be stored: Shift_JIS, CR LF
    int lineCount = 0;

    void TakeLine(const QByteArray &line, qint64 received, qint64 total);
    void Finished(bool failed);
};
