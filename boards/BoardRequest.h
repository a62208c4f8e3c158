#pragma once
// TBoardRequest: one download or post of a board type, made of one or more HTTP steps (a dat, then
// its past-log copies; a post, then its confirmation). It lives on the thread that started it and
// reports only through the job record it serves.
//
// Run starts it. Asynchronous: Run returns at once and the request frees itself once it has ended.
// Synchronous: Run returns when the request has ended (its callbacks have run), frees it, and raises
// EHttpException when a step could not reach the server or stop-all ended the wait.

#include "net/HttpSettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

class TBoard;
class TTavuHttp;

class TBoardRequest : public QObject {
    Q_OBJECT
public:
    TBoardRequest();
    ~TBoardRequest() override;

    static void Run(TBoardRequest *request, bool synchronous);

signals:
    void Ended();

protected:
    // Starts the first step.
    virtual void Start() = 0;

    // A fresh HTTP job for the next step, with the board's Basic credentials, the agent and the
    // bounds of what it fetches; the job of the previous step is freed later. Its events are the caller's to bind. record is the job
    // record the request serves (TTavuHttp::Job): a tab's cancel finds the running job by it.
    TTavuHttp *NewHttp(const QString &url, const TBoard *board, const QString &agent, void *record,
                       TRequestKind kind);
    TTavuHttp *Http() const;

    // Notes a failed step: a failure to reach the server (or a stop) is raised to a synchronous caller.
    void NoteFailure(int code, const QString &message);
    // True when the last step was aborted (stop-all): no further step may start.
    bool Aborted() const { return aborted; }
    // The request has reported its outcome.
    void End();

private:
    QPointer<TTavuHttp> http;
    bool ended = false;
    bool aborted = false;
    QString connectionFailure;   // the message of a step that could not reach the server

    void Abort();
};
