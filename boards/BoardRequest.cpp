#include "boards/BoardRequest.h"

#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/TavuEnviron.h"
#include "net/SyncWait.h"
#include "net/TavuHttp.h"

TBoardRequest::TBoardRequest() = default;
TBoardRequest::~TBoardRequest() = default;

void TBoardRequest::Run(TBoardRequest *request, bool synchronous)
{
    if (!synchronous) {
        connect(request, &TBoardRequest::Ended, request, &QObject::deleteLater);
        request->Start();
        return;
    }
    request->Start();
    const bool stopped = WaitUntil(request, &TBoardRequest::Ended, [request] { return !request->ended; },
                                   [request] { request->Abort(); });
    const QString failure = request->connectionFailure;
    // A step that a stop aborted may still be reporting: the request goes once it has ended.
    if (request->ended)
        delete request;
    else
        connect(request, &TBoardRequest::Ended, request, &QObject::deleteLater);
    if (stopped)
        throw EHttpException(0, TTavuEnviron::StoppedMessage());
    if (!failure.isEmpty())
        throw EHttpException(0, failure);
}

TTavuHttp *TBoardRequest::NewHttp(const QString &url, const TBoard *board, const QString &agent, void *record,
                                  TRequestKind kind)
{
    if (http) {
        http->ClearEvents();
        http->deleteLater();
    }
    http = new TTavuHttp(this);
    http->URL = url;
    http->UserAgent = agent;
    http->Job = record;
    http->Limits = ConfiguredLimits(kind);
    if (board) {
        http->Username = board->GetBasicAuthUserName();
        http->Password = board->GetBasicAuthPassword();
    }
    return http;
}

TTavuHttp *TBoardRequest::Http() const
{
    return http;
}

void TBoardRequest::NoteFailure(int code, const QString &message)
{
    if (code == httpAborted)
        aborted = true;
    else if (code == httpConnectFailed || code == httpTimeout)
        connectionFailure = message;
}

void TBoardRequest::End()
{
    if (ended)
        return;
    ended = true;
    emit Ended();
}

void TBoardRequest::Abort()
{
    aborted = true;
    if (http && http->IsBusy())
        http->Abort();
}
