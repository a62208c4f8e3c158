#include "boards/BoardListDownloaderRequest.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/BoardListDownloader.h"
#include "core/Site.h"
#include "core/Tavutils.h"
#include "net/TavuHttp.h"

TBoardListDownloaderRequest::TBoardListDownloaderRequest(TBoardListDownloader *job, QObject *parent)
    : QObject(parent), job(job)
{
}

TBoardListDownloaderRequest::~TBoardListDownloaderRequest()
{
    if (http)
        http->ClearEvents();
}

QString TBoardListDownloaderRequest::ScriptPath(const TSite *site)
{
    return site ? site->FindFile(ScriptName()) : QString();
}

QString TBoardListDownloaderRequest::HostPathOf(const QString &url, const QString &id)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    const QString rest = scheme < 0 ? url : url.mid(scheme + 3);
    const qsizetype at = rest.lastIndexOf(QLatin1Char('/') + id + QLatin1Char('/'));
    return at < 0 ? rest : rest.left(at);
}

bool TBoardListDownloaderRequest::Start(const QString &url)
{
    const QString path = ScriptPath(job->Site);
    if (path.isEmpty() || !script.LoadSource(path))
        return false;
    if (job->Boards->Owner == nullptr)
        job->Boards->Owner = job->Site;
    scriptFailed = false;
    http = new TTavuHttp(this);
    http->URL = url;
    http->NoCache = true;
    http->Job = job;
    http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64 received, qint64 total) {
        if (OnProgress)
            OnProgress(received, total);
        if (!scriptFailed)
            HandleBoardLine(Tavutils::ConvertToSjis(job->CodePage, line));
    };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &) {
        if (!scriptFailed && OnError)
            OnError(code, message);
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) {
        if (OnDone)
            OnDone(failed || scriptFailed);
    };
    http->GetUnconditional(job->Site->GetLogDir() + QStringLiteral("boardlist.txt"));
    return true;
}

void TBoardListDownloaderRequest::Abort()
{
    if (http && http->IsBusy())
        http->Abort();
}

bool TBoardListDownloaderRequest::IsBusy() const
{
    return http && http->IsBusy();
}

void TBoardListDownloaderRequest::HandleBoardLine(const QString &line)
{
    // Setting a variable fails too, when the line or the script has used up the variables' room.
    try {
        RunScript(line);
    } catch (const ERuroBasError &error) {
        scriptFailed = true;
        if (OnError)
            OnError(-1, ScriptName() + QLatin1Char(' ') + error.Message);
        Abort();
    }
}

void TBoardListDownloaderRequest::RunScript(const QString &line)
{
    script.SetVariable(QStringLiteral("Data"), line);
    script.SetVariable(QStringLiteral("ParseOk"), false);
    script.SetVariable(QStringLiteral("TempData"), job->TempData);
    script.SetVariable(QStringLiteral("OK"), true);
    script.Run();
    if (script.GetBool(QStringLiteral("ParseOk")))
        TakeBoard();
    job->TempData = script.GetString(QStringLiteral("TempData"));
}

// The board the script reported; BoardName, BoardURL and BoardID start empty again for the next.
void TBoardListDownloaderRequest::TakeBoard()
{
    auto board = std::make_unique<TBoard>();
    board->Name = script.GetString(QStringLiteral("BoardName"));
    board->URL = script.GetString(QStringLiteral("BoardURL"));
    board->ID = script.GetString(QStringLiteral("BoardID"));
    board->BBSName = board->ID;
    board->Category = script.GetString(QStringLiteral("CategoryName"));
    board->Site = job->Site;
    board->BBS = job->BBS;
    board->CodePage = job->Site ? job->Site->CodePage : job->CodePage;
    const QString path = script.GetString(QStringLiteral("BoardPath"));
    board->HostPath = path.isEmpty() ? HostPathOf(board->URL, board->ID) : path;
    for (const char *name : {"BoardName", "BoardURL", "BoardID"})
        script.SetVariable(QString::fromLatin1(name), QString());

    if (!TBoard::IsSafePathPart(board->ID))
        return Notice(QStringLiteral("板IDが正しくないので飛ばしました：「%1」 %2").arg(board->ID, board->URL));
    if (job->Boards->FindByID(board->ID) || job->Unclaimed->FindByID(board->ID))
        return Notice(QStringLiteral("板IDが重なっているので飛ばしました：%1 %2").arg(board->ID, board->URL));
    if (job->Site && job->Site->MatchUrl(board->URL))
        job->Boards->Add(board.release());
    else
        job->Unclaimed->Add(board.release());
}

void TBoardListDownloaderRequest::Notice(const QString &message)
{
    if (OnNotice)
        OnNotice(message);
}
