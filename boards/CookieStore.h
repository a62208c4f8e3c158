#pragma once
// The cookies that posting keeps in cookie.ini of the profile folder: one section per host name (in
// lower case, without the port), key = cookie name, value = its value as the server sent it.

#include <QString>
#include <QStringList>

namespace CookieStore {

// The Cookie header for a host ("a=1; b=2"); empty when none is kept (or no profile exists).
QString CookieHeader(const QString &host);

// Keeps the cookies of a reply's Set-Cookie texts for the host: a new value replaces the old one,
// a cookie set to expire in the past (or with Max-Age 0) is removed. Attributes are dropped.
void Store(const QString &host, const QStringList &setCookies);

}  // namespace CookieStore
