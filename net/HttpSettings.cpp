#include "net/HttpSettings.h"

#include "core/TavuConfig.h"
#include "net/HttpCli.h"

namespace {

// The defaults of the integer settings, as the settings table names them.
struct TIntDefaults {
#define CFG_INT(field, section, key, def) int field = def;
#include "core/ConfigKeys.def"
};

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

TDownloadLimits ConfiguredLimits(TRequestKind kind)
{
    static const TIntDefaults defaults;
    // A value below 1 would stop every download: the default stands in for it.
    auto setting = [](int TTavuConfig::*field, int fallback) -> qint64 {
        const int value = TavuConfig ? TavuConfig->*field : fallback;
        return value > 0 ? value : fallback;
    };
    constexpr qint64 MB = 1024 * 1024;
    auto milliseconds = [](qint64 seconds) { return int(qMin<qint64>(seconds * 1000, INT_MAX)); };
    TDownloadLimits limits;
    limits.MaxLineBytes = setting(&TTavuConfig::LIMIT_LINE_KB, defaults.LIMIT_LINE_KB) * 1024;
    limits.MaxGzipRatio = int(setting(&TTavuConfig::LIMIT_GZIP_RATIO, defaults.LIMIT_GZIP_RATIO));
    switch (kind) {
    case TRequestKind::Dat:
        limits.MaxBodyBytes = setting(&TTavuConfig::LIMIT_DAT_MB, defaults.LIMIT_DAT_MB) * MB;
        limits.DeadlineMs = milliseconds(setting(&TTavuConfig::LIMIT_DAT_SECONDS, defaults.LIMIT_DAT_SECONDS));
        break;
    case TRequestKind::Subject:
        limits.MaxBodyBytes = setting(&TTavuConfig::LIMIT_SUBJECT_MB, defaults.LIMIT_SUBJECT_MB) * MB;
        limits.DeadlineMs = milliseconds(setting(&TTavuConfig::LIMIT_SUBJECT_SECONDS, defaults.LIMIT_SUBJECT_SECONDS));
        break;
    case TRequestKind::Page:
        limits.MaxBodyBytes = setting(&TTavuConfig::LIMIT_PAGE_MB, defaults.LIMIT_PAGE_MB) * MB;
        limits.DeadlineMs = milliseconds(setting(&TTavuConfig::LIMIT_PAGE_SECONDS, defaults.LIMIT_PAGE_SECONDS));
        break;
    case TRequestKind::Service:
        limits.MaxBodyBytes = setting(&TTavuConfig::LIMIT_SERVICE_MB, defaults.LIMIT_SERVICE_MB) * MB;
        limits.DeadlineMs = milliseconds(setting(&TTavuConfig::LIMIT_SERVICE_SECONDS, defaults.LIMIT_SERVICE_SECONDS));
        break;
    }
    return limits;
}

void UseLimits(THttpCli &client, TRequestKind kind)
{
    const TDownloadLimits limits = ConfiguredLimits(kind);
    client.MaxBodyBytes = limits.MaxBodyBytes;
    client.Deadline = limits.DeadlineMs;
}

int ConfiguredHttpMode()
{
    return TavuConfig ? TavuConfig->HTTP_MODE : 0;
}
