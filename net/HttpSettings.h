#pragma once
// The HTTP settings of the configuration, read in this one place: the proxy for downloads
// (kpw.ini PROXY), the proxy for posts (SEND_PROXY) and the validator preference (HTTP MODE).
// Without a configuration object (tools and tests) no proxy is used and MODE is 0.

#include <QString>

class THttpCli;

struct THttpProxy {
    QString Host;   // empty: connect directly
    int Port = 80;
    QString Username;
    QString Password;
};

// The proxy to use, or an empty host when that proxy is switched off.
THttpProxy ConfiguredProxy(bool forPost);

// Copies a proxy into a client (an empty host clears the client's proxy).
void ApplyProxy(THttpCli &client, const THttpProxy &proxy);

// Copies the configured download (or post) proxy into a client.
void UseConfiguredProxy(THttpCli &client, bool forPost = false);

// HTTP MODE: 0 sends If-Modified-Since, 1 If-None-Match.
int ConfiguredHttpMode();
