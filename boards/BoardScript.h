#pragma once
// TBoardScript: what the remote board types of the 2ch family share: the thread list from
// subject.txt, the user agent, the code page of a board, and posting through the board's CGI
// (the form of each type, the Referer, the kept cookies and the Be login cookies).

#include "boards/PostForm.h"
#include "core/BBS.h"

class TSendData;

class TBoardScript : public TBBS {
public:
    using TBBS::TBBS;

    // The user agent of this type's requests.
    virtual QString Agent() const;
    // The code page of a board's texts (0 Shift_JIS, 1 EUC-JP, 2 UTF-8): the board's, and EUC-JP for
    // the boards of an EUC-JP type that declare nothing else.
    int CodePageOf(const TBoard *board) const;

    void DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous = false) override;
    void PostRes(TResUploader *job) override;
    void PostNewThread(TThreadUploader *job) override;

    // The lines of a thread's stored log (a torn append cut off first); empty when there is none.
    static QList<QByteArray> StoredLines(const TThreadItem *item);

protected:
    // The forms of a reply and of a new thread, fields in the order the server expects.
    virtual TPostForm ReplyForm(const TResUploader &job) const = 0;
    virtual TPostForm NewThreadForm(const TThreadUploader &job) const = 0;

    // The bbs name a post goes to: the post data's, else the board's.
    static QString BBSNameOf(const TResUploader &job);
    // The thread key of a reply: the post data's, else the thread's.
    static QString KeyOf(const TResUploader &job);
    // The mail of a post: with "sage" in front when SAGE is asked and the type does not carry it
    // in the mail field itself (the composer then left it out).
    QString MailOf(const TSendData &data) const;
    // The dat URL of a type that is asked for responses from `first` on, in the path form
    // (".../<key>/<first>-") or the query form ("...&<PARAM_START>=<first>").
    QString RangedDatUrl(const TBoard *board, const QString &key, int first) const;
    // The form of the write.cgi scripts with upper-case field names (Machi BBS, JBBS): the leading
    // fields given, then KEY (replies), TIME, SUBJECT (new threads), NAME, MAIL, MESSAGE, submit.
    TPostForm WriteCgiForm(const TResUploader &job, TPostForm form, bool newThread) const;
    // Reads a thread whose server sends numbered raw lines from its DAT template, asked from the
    // first response not yet stored (from response 1 in firstMode).
    void DownloadRawLines(TResDownloader *job, bool firstMode, bool synchronous);

private:
    void Post(TResUploader *job, const QString &url, const TPostForm &form, const QString &referer) const;
};
