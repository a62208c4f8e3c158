#pragma once
// The cookies that posting keeps in cookie.ini of the profile folder: one section per host name (in
// lower case, without the port), key = cookie name, value = its value as the server sent it. The
// expiry of a cookie that has one is kept beside it, in the section named by the host followed by
// ":expires" (key = cookie name, value = the time in UTC, "yyyy/MM/dd hh:mm:ss"); a cookie whose
// expiry has passed is never sent and leaves the file.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace CookieStore {

// The Cookie header for a host ("a=1; b=2"); empty when none is kept (or no profile exists).
// Cookies that have expired by `now` are left out and removed from the file.
QString CookieHeader(const QString &host, const QDateTime &now = QDateTime::currentDateTimeUtc());

// Keeps the cookies of a reply's Set-Cookie texts for the host: a new value replaces the old one,
// a cookie set to expire by `now` (an Expires in the past, Max-Age 0 or below) is removed. Other
// attributes are dropped.
void Store(const QString &host, const QStringList &setCookies,
           const QDateTime &now = QDateTime::currentDateTimeUtc());

// A cookie date as servers write it (RFC 6265 5.1.1: "Thu, 01 Jan 1970 00:00:00 GMT",
// "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994", ...), in UTC whatever zone name it
// carries; invalid when it is not one.
QDateTime ParseCookieDate(const QString &text);

}  // namespace CookieStore
