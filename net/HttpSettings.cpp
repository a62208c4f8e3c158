#include "net/HttpSettings.h"

#include "core/TavuConfig.h"
#include "net/HttpCli.h"

namespace {

THttpProxy MakeProxy(bool use, const QString &host, const QString &port, const QString &user, const QString &password)
{
    THttpProxy proxy;
    if (!use || host.trimmed().isEmpty())
        return proxy;
    bool ok = false;
    const int number = port.trimmed().toInt(&ok);
    proxy.Host = host.trimmed();
    proxy.Port = ok && number > 0 && number < 65536 ? number : 80;
    proxy.Username = user;
    proxy.Password = password;
    return proxy;
}

}  // namespace

THttpProxy ConfiguredProxy(bool forPost)
{
    if (!TavuConfig)
        return THttpProxy();
    const TTavuConfig &c = *TavuConfig;
    if (forPost)
        return MakeProxy(c.SEND_PROXY_USE, c.SEND_PROXY_HOST, c.SEND_PROXY_PORT, c.SEND_PROXY_USERNAME, c.SEND_PROXY_PASSWORD);
    return MakeProxy(c.PROXY_USE, c.PROXY_HOST, c.PROXY_PORT, c.PROXY_USERNAME, c.PROXY_PASSWORD);
}

void ApplyProxy(THttpCli &client, const THttpProxy &proxy)
{
    client.Proxy = proxy.Host;
    client.ProxyPort = proxy.Port;
    client.ProxyUsername = proxy.Username;
    client.ProxyPassword = proxy.Password;
}

void UseConfiguredProxy(THttpCli &client, bool forPost)
{
    ApplyProxy(client, ConfiguredProxy(forPost));
}

int ConfiguredHttpMode()
{
    return TavuConfig ? TavuConfig->HTTP_MODE : 0;
}
