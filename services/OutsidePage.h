#pragma once
// One synchronous GET of an outside service's page (SETTING.TXT, the vote service, the ranking, the
// new-thread lists, the information file), with the program's user agent and the configured proxy.
//
// Only a complete 200 answer is a page: an unreachable host, a dropped connection, a truncated body,
// stop-all and every other status give an error text for the log pane and no body, so that callers
// never mistake a failure for an empty result.

#include <QByteArray>
#include <QString>

class TSite;

struct TOutsidePage {
    int Status = 0;
    QByteArray Body;
    QString Error;   // empty when the page arrived

    bool Ok() const { return Error.isEmpty(); }
};

TOutsidePage FetchOutsidePage(const QString &url);

// The error text for a page that did not arrive, with the reason (a status or a transport error).
QString FetchError(const QString &url, const QString &reason);
// The error text for a page whose content is not what the service sends ("changed page format").
QString UnknownPageFormat(const QString &url);
// The registered site a service's threads belong to; null, with the error text, when there is none.
TSite *ServiceSite(const QString &siteId, QString &error);
