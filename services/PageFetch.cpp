#include "services/PageFetch.h"

#include "core/Exceptions.h"
#include "net/HttpCli.h"
#include "net/HttpSettings.h"

#include <QBuffer>

namespace PageFetch {

bool Get(const QString &url, QByteArray &body)
{
    body.clear();
    QBuffer stream(&body);
    stream.open(QIODevice::WriteOnly);
    THttpCli client;
    UseConfiguredProxy(client);
    UseLimits(client, TRequestKind::Page);
    client.URL = url;
    client.RcvdStream = &stream;
    try {
        client.Get();
    } catch (const EHttpException &) {
        return false;
    }
    return client.StatusCode() >= 200 && client.StatusCode() <= 299;
}

}  // namespace PageFetch
