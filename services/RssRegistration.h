#pragma once
// What the feed registration wizard (TRssWizard) decides, without its window: the host path and
// board id a feed URL gives, whether a feed is registered already, the name and description a
// fetched feed proposes, and the registration of the feed as a board of the rss site.

#include <QByteArray>
#include <QString>

class TBoard;
class TSite;

namespace RssRegistration {

// For ".../news/index.rdf": host path "host" and board id "news@index.rdf"; a feed right under the
// host gives the host as host path and the file name as id.
void SplitFeedUrl(const QString &url, QString &boardId, QString &hostPath);

// True when a board of the site has a URL that begins with the URL.
bool IsRegistered(const TSite *rssSite, const QString &url);

// What a fetched feed proposes. codePage (0 SJIS, 1 EUC, 2 UTF8) is the charset chosen; a feed that
// declares encoding="euc-jp"? switches it to EUC.
struct TFeedFields {
    QString Name;
    QString Description;
};
TFeedFields ReadFeed(const QByteArray &body, int &codePage);

// What the wizard collected.
struct TRequest {
    QString Url;
    QString Name;
    QString Category;
    int CodePage = 2;
};

// The id the new feed gets: the remote id, or the remote id with 1, 2, ... that no board has.
QString UniqueFeedId(const TSite *rssSite, const QString &remoteId);

// Adds the feed to the rss site and writes its board.dat; raises EVarnelo when it cannot be written.
// Returns the new board (owned by the site).
TBoard *RegisterFeed(TSite *rssSite, const TRequest &request, const QString &logRoot);

}  // namespace RssRegistration
