#include "services/Ninkinet.h"

#include "core/TavuEnviron.h"
#include "net/HttpCli.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int StopPollMs = 50;
}

TNinkinet::TNinkinet(const QString &counterId, const QString &urlTemplate, const QString &cookie,
                     const THttpProxy &proxy, QObject *parent)
    : QThread(parent), counterId(counterId), url(CounterUrl(urlTemplate, counterId)), cookie(cookie), proxy(proxy)
{
}

QString TNinkinet::CounterUrl(const QString &urlTemplate, const QString &counterId)
{
    QString url = urlTemplate;
    return url.replace(QStringLiteral("<ID>"), counterId, Qt::CaseInsensitive);
}

bool TNinkinet::CookieValue(const QString &cookie, const QString &counterId, QString &value)
{
    const QString prefix = counterId + QLatin1Char('=');
    const int at = cookie.indexOf(prefix);
    if (counterId.isEmpty() || at < 0)
        return false;
    const int from = at + prefix.size();
    const int end = cookie.indexOf(QLatin1Char(';'), from);
    value = end < 0 ? QString() : cookie.mid(from, end - from);
    return true;
}

// The reply's body is not used: it is not kept, only bounded like every service's answer.
void TNinkinet::run()
{
    THttpCli client;
    client.URL = url;
    UseLimits(client, TRequestKind::Service);
    ApplyProxy(client, proxy);
    if (!cookie.isEmpty())
        client.Cookie = QStringLiteral("%1=%2").arg(counterId, cookie);
    connect(&client, &THttpCli::OnCookie, &client, [this](THttpCli *, const QString &text, bool &accept) {
        QString value;
        if (CookieValue(text, counterId, value))
            emit CookieReceived(counterId, value);
        accept = true;
    }, Qt::DirectConnection);

    QEventLoop loop;
    connect(&client, &THttpCli::OnRequestDone, &loop, &QEventLoop::quit);
    QTimer stopPoll;
    connect(&stopPoll, &QTimer::timeout, &client, [this, &client] {
        if (isInterruptionRequested() || (TavuEnviron && TavuEnviron->IsStopped()))
            client.Abort();
    });
    stopPoll.start(StopPollMs);
    client.GetASync();
    if (client.IsBusy())
        loop.exec();
}
