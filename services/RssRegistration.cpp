#include "services/RssRegistration.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/Tavutils.h"

namespace RssRegistration {

namespace {

qsizetype AfterLastDelimiter(const QString &text)
{
    return std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char(':'))) + 1;
}

}  // namespace

void SplitFeedUrl(const QString &url, QString &boardId, QString &hostPath)
{
    QString s = url;
    if (s.mid(AfterLastDelimiter(s)).contains(QLatin1Char('.')))
        s = s.left(AfterLastDelimiter(s));
    if (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    const QString fileName = url.mid(AfterLastDelimiter(url));
    hostPath = s.left(AfterLastDelimiter(s)).mid(7);
    hostPath.chop(1);
    if (!hostPath.isEmpty()) {
        boardId = s.mid(AfterLastDelimiter(s)) + QLatin1Char('@') + fileName;
        return;
    }
    const qsizetype scheme = s.indexOf(QLatin1String("://"));
    hostPath = scheme < 0 ? s : s.mid(scheme + 3);
    boardId = fileName;
}

bool IsRegistered(const TSite *rssSite, const QString &url)
{
    for (int i = 0; i < rssSite->Boards->Count(); ++i) {
        if (rssSite->Boards->Get(i)->URL.startsWith(url))
            return true;
    }
    return false;
}

TFeedFields ReadFeed(const QByteArray &body, int &codePage)
{
    if (body.toLower().contains("encoding=\"euc-jp\"?"))
        codePage = 1;
    const QString text = Tavutils::ConvertToSjis(codePage, body);
    return {Tavutils::ExtractBetween(text, QStringLiteral("<title>"), QStringLiteral("</title>")),
            Tavutils::ExtractBetween(text, QStringLiteral("<description>"), QStringLiteral("</description>"))};
}

QString UniqueFeedId(const TSite *rssSite, const QString &remoteId)
{
    QString candidate = remoteId;
    for (int n = 1; rssSite->Boards->FindByID(candidate); ++n)
        candidate = remoteId + QString::number(n);
    return candidate;
}

TBoard *RegisterFeed(TSite *rssSite, const TRequest &request, const QString &logRoot)
{
    QString remoteId, hostPath;
    SplitFeedUrl(request.Url, remoteId, hostPath);
    auto *board = new TBoard;
    board->Site = rssSite;
    board->Name = request.Name;
    board->HostPath = hostPath;
    board->BBSName = remoteId;
    board->URL = request.Url;
    board->Category = request.Category;
    board->BBS = rssSite->BBS;
    board->CodePage = request.CodePage;
    board->Kind = TBoard::KIND_RSS;
    board->ID = UniqueFeedId(rssSite, remoteId);
    board->LogFolder = logRoot + QStringLiteral("rss/") + Tavutils::UrlToFileName(hostPath + QLatin1Char('_') + board->ID)
                       + QLatin1Char('/');
    rssSite->Boards->InsertInCategory(board);
    rssSite->SaveBoards();
    return board;
}

}  // namespace RssRegistration
