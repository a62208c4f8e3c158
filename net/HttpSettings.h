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

// What a request fetches; each kind has its own bounds (kpw.ini LIMIT). Service: the small answer
// of an outside service (the access counter, a board's local rules, the digest of a hovered page).
enum class TRequestKind { Dat, Subject, Page, Service };

struct TDownloadLimits {
    qint64 MaxBodyBytes = -1;   // the body, as it comes and once decoded; -1: the client's own bound
    qint64 MaxLineBytes = -1;   // one line of the body; -1: no bound
    int MaxGzipRatio = 0;       // decoded bytes per compressed byte (past the first MB); 0: no bound
    int DeadlineMs = 0;         // the whole request; 0: the client's own bound
};

// The configured bounds of a kind; without a configuration object, the defaults of kpw.ini.
TDownloadLimits ConfiguredLimits(TRequestKind kind);

// Copies the body bound and the deadline of a kind into a client.
void UseLimits(THttpCli &client, TRequestKind kind);
