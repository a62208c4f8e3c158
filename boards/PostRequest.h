#pragma once
// TPostRequest: one reply or new-thread post: the form POST in the board's code page with the
// Referer and the kept cookies, the server's write confirmation answered once (with the cookies it
// set and the hidden fields of its page), and the answer page read as success, error page or
// cancel. Exactly one of the job's OnDone (success), OnError (the server's page) and OnCancel (no
// answer: connection failure, stop, offline) reports. The job's post data is never changed, so the
// user's text stays with the caller whatever happens.

#include "boards/BoardRequest.h"
#include "boards/PostForm.h"

class TResUploader;

class TPostRequest : public TBoardRequest {
    Q_OBJECT
public:
    // extraCookie: cookies sent besides the kept ones (the Be login), may be empty.
    TPostRequest(TResUploader *job, const QString &url, const TPostForm &form, const QString &referer,
                 const QString &agent, const QString &extraCookie, int codePage);

protected:
    void Start() override;

private:
    TResUploader *job;
    QString url;
    TPostForm form;
    QString referer;
    QString agent;
    QString extraCookie;
    int codePage;
    bool confirmed = false;   // the confirmation has been answered once
    QStringList confirmCookies;   // "name=value" of the cookies the confirmation set
    bool reported = false;
    QByteArray page;          // the answer page as received
    int errorCode = 0;
    QString errorMessage;

    void Send();
    QString CookieHeader() const;
    void Answered(bool failed);
    void Succeeded();
    void FailedWithPage(int code, const QString &message, const QString &pageText);
    void Cancelled(const QString &message);
};
