#include "boards/ServiceRequest.h"

#include "net/HttpCli.h"

#include <QBuffer>

TServiceReply TServiceRequest::Run() const
{
    QBuffer body;
    body.open(QIODevice::WriteOnly);
    THttpCli client;
    client.URL = Url;
    client.UserAgent = Agent;
    client.Cookie = Cookie;
    client.RcvdStream = &body;
    const TDownloadLimits limits = ConfiguredLimits(TRequestKind::Page);
    client.MaxBodyBytes = limits.MaxBodyBytes;
    client.Deadline = limits.DeadlineMs;
    ApplyProxy(client, Proxy);
    if (Form.isEmpty()) {
        client.Get();
    } else {
        client.PostData = Form;
        client.Post();
    }
    return TServiceReply{client.StatusCode(), body.data(), client.Cookies()};
}
