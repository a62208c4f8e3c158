#pragma once
// TMegabbsScript ("megabbsscript"): MegaBBS. Its thread list is a listing page of links
// ("readres.cgi?bo=<bbs>&vi=<key>" with the text "title (count)"), fetched page by page: the first
// page from the SUBJECT template, page n from the SUBJECTPAGE template ("<page>" is n). A thread is
// read from its readres.cgi page, asked from the first response not yet stored (PARAM_START);
// replies go to writeres.cgi and new threads to writenew.cgi.

#include "boards/BoardScript.h"

#include <QStringList>

class TMegabbsScript : public TBoardScript {
public:
    using TBoardScript::TBoardScript;

    bool IsThreadListPaged() const override;
    void DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous = false) override;
    void DownloadThreadListNextPage(TThreadListDownloader *job, int page) override;
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;

    // The subject line ("key.dat<>title (count)") of a line of a listing page that links to a
    // thread of the board bbs; empty for any other line.
    QString SubjectLineOf(const QString &line, const QString &bbs) const;

protected:
    TPostForm ReplyForm(const TResUploader &job) const override;
    TPostForm NewThreadForm(const TThreadUploader &job) const override;

private:
    void DownloadPage(TThreadListDownloader *job, int page, bool reload, bool synchronous);
};
