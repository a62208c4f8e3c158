// Cookie dates as servers write them, and cookies that expire leaving cookie.ini.

#include "boards/CookieStore.h"
#include "core/IniFile.h"
#include "core/TavuConfig.h"
#include "support/TempDataRoot.h"


#include <gtest/gtest.h>

namespace {

QDateTime Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

}  // namespace

TEST(CookieStore, ReadsEveryDateFormServersSendInUtc)
{
    const QList<std::pair<QString, QDateTime>> dates{
        {QStringLiteral("Thu, 01 Jan 1970 00:00:00 GMT"), Utc(1970, 1, 1)},
        {QStringLiteral("Wed, 21-Oct-2015 07:28:00 GMT"), Utc(2015, 10, 21, 7, 28)},
        {QStringLiteral("Sunday, 06-Nov-94 08:49:37 GMT"), Utc(1994, 11, 6, 8, 49, 37)},
        {QStringLiteral("Sun Nov  6 08:49:37 1994"), Utc(1994, 11, 6, 8, 49, 37)},
        {QStringLiteral("Fri, 31 Dec 2038 23:59:59 UTC"), Utc(2038, 12, 31, 23, 59, 59)},
        {QStringLiteral("Mon, 01-Jan-01 9:5:3 +0900"), Utc(2001, 1, 1, 9, 5, 3)},
        {QStringLiteral("tue, 7 dec 2026 01:02:03 gmt"), Utc(2026, 12, 7, 1, 2, 3)},
    };
    for (const auto &[text, expected] : dates)
        EXPECT_EQ(CookieStore::ParseCookieDate(text), expected) << text.toStdString();
    for (const QString &bad : {QString(), QStringLiteral("tomorrow"), QStringLiteral("Thu, 32 Jan 2020 00:00:00 GMT"),
                               QStringLiteral("Sun, 30 Feb 2020 00:00:00 GMT"), QStringLiteral("01 Jan 1500 00:00:00"),
                               QStringLiteral("Thu, 01 Jan 2020 24:00:00 GMT"), QStringLiteral("Thu, 01 Jan 2020")})
        EXPECT_FALSE(CookieStore::ParseCookieDate(bad).isValid()) << bad.toStdString();
}

TEST(CookieStore, CookiesTheServerDeletesOrThatExpireAreNeitherSentNorKept)
{
    TempDataRoot root;
    TTavuConfig config;
    TavuConfig = &config;
    const QString host = QStringLiteral("Bbs.Example.JP:8080");
    const QDateTime now = Utc(2026, 12, 7);
    CookieStore::Store(host, {QStringLiteral("PON=pon789; path=/"),
                              QStringLiteral("yuki=akari; expires=Wed, 09-Dec-2026 00:00:00 GMT; path=/; domain=.example.jp"),
                              QStringLiteral("HAP=xyz; Max-Age=3600; HttpOnly"),
                              QStringLiteral("OLD=gone; expires=Thu, 01 Jan 1970 00:00:00 GMT")},
                       now);
    EXPECT_EQ(CookieStore::CookieHeader(host, now), QStringLiteral("PON=pon789; yuki=akari; HAP=xyz"));

    // The server deletes a cookie with a date in the past, in the GMT form.
    CookieStore::Store(host, {QStringLiteral("PON=; expires=Thu, 01 Jan 1970 00:00:00 GMT; path=/")}, now);
    EXPECT_EQ(CookieStore::CookieHeader(host, now), QStringLiteral("yuki=akari; HAP=xyz"));

    // Time passes: the hour of HAP, then the date of yuki.
    EXPECT_EQ(CookieStore::CookieHeader(host, now.addSecs(2 * 3600)), QStringLiteral("yuki=akari"));
    EXPECT_EQ(CookieStore::CookieHeader(host, Utc(2026, 12, 10)), QString());
    const TIniFile ini(config.GetProfileDir() + QStringLiteral("cookie.ini"));
    EXPECT_TRUE(ini.ReadSection(QStringLiteral("bbs.example.jp")).isEmpty());
    EXPECT_TRUE(ini.ReadSection(QStringLiteral("bbs.example.jp:expires")).isEmpty());
    TavuConfig = nullptr;
}
