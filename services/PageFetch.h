#pragma once
// One synchronous GET for the wizards: the configured download proxy, the program's user agent, the
// body as bytes. False when the request failed or the status is outside 200..299.

#include <QByteArray>
#include <QString>

namespace PageFetch {

bool Get(const QString &url, QByteArray &body);

}  // namespace PageFetch
