#include "boards/CookieStore.h"

#include "core/IniFile.h"
#include "core/TavuConfig.h"


#include <optional>

namespace CookieStore {

namespace {

const QString ExpiryFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");

QString IniPath()
{
    return TavuConfig ? TavuConfig->GetProfileDir() + QStringLiteral("cookie.ini") : QString();
}

QString SectionOf(const QString &host)
{
    return host.section(u':', 0, 0).toLower();
}

QString ExpirySectionOf(const QString &host)
{
    return SectionOf(host) + QStringLiteral(":expires");
}

// An attribute of a Set-Cookie text ("expires", "max-age"); empty when absent.
QString Attribute(const QStringList &parts, const QString &name)
{
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        if (part.section(u'=', 0, 0).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return part.section(u'=', 1).trimmed();
    }
    return QString();
}

// The expiry a Set-Cookie text gives; nullopt for a cookie of the session. Max-Age wins over Expires.
std::optional<QDateTime> ExpiryOf(const QStringList &parts, const QDateTime &now)
{
    bool ok = false;
    const qint64 maxAge = Attribute(parts, QStringLiteral("max-age")).toLongLong(&ok);
    if (ok)
        return maxAge <= 0 ? now.addSecs(-1) : now.addSecs(qMin<qint64>(maxAge, 400LL * 24 * 3600));
    const QDateTime expires = ParseCookieDate(Attribute(parts, QStringLiteral("expires")));
    if (expires.isValid())
        return expires;
    return std::nullopt;
}

// RFC 6265 5.1.1: delimiters between the tokens of a cookie date.
bool IsDelimiter(QChar c)
{
    const ushort u = c.unicode();
    return u == 0x09 || (u >= 0x20 && u <= 0x2F) || (u >= 0x3B && u <= 0x40) || (u >= 0x5B && u <= 0x60)
           || (u >= 0x7B && u <= 0x7E);
}

// The leading run of 1 to maxDigits digits of a token, when at least minDigits; -1 otherwise.
int LeadingNumber(QStringView token, int minDigits, int maxDigits)
{
    int digits = 0;
    while (digits < token.size() && token[digits].isDigit() && token[digits].unicode() < 128)
        ++digits;
    if (digits < minDigits || digits > maxDigits)
        return -1;
    return token.left(digits).toInt();
}

// "hh:mm:ss" with one or two digits each (anything may follow the seconds).
bool ReadTime(QStringView token, int &hour, int &minute, int &second)
{
    const QList<QStringView> fields = token.split(u':');
    if (fields.size() != 3)
        return false;
    hour = LeadingNumber(fields[0], 1, 2);
    minute = LeadingNumber(fields[1], 1, 2);
    second = LeadingNumber(fields[2], 1, 2);
    return hour >= 0 && minute >= 0 && second >= 0 && fields[0].size() <= 2 && fields[1].size() <= 2;
}

int MonthOf(QStringView token)
{
    static const QStringList months{QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
                                    QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"),
                                    QStringLiteral("jul"), QStringLiteral("aug"), QStringLiteral("sep"),
                                    QStringLiteral("oct"), QStringLiteral("nov"), QStringLiteral("dec")};
    if (token.size() < 3)
        return -1;
    const qsizetype index = months.indexOf(token.left(3).toString().toLower());
    return index < 0 ? -1 : int(index) + 1;
}

}  // namespace

QDateTime ParseCookieDate(const QString &text)
{
    int hour = -1, minute = -1, second = -1, day = -1, month = -1, year = -1;
    bool foundTime = false;
    qsizetype at = 0;
    while (at < text.size()) {
        while (at < text.size() && IsDelimiter(text[at]))
            ++at;
        qsizetype end = at;
        while (end < text.size() && !IsDelimiter(text[end]))
            ++end;
        const QStringView token = QStringView(text).mid(at, end - at);
        at = end;
        if (token.isEmpty())
            continue;
        if (!foundTime && ReadTime(token, hour, minute, second)) {
            foundTime = true;
        } else if (day < 0 && (day = LeadingNumber(token, 1, 2)) >= 0) {
        } else if (month < 0 && (month = MonthOf(token)) >= 0) {
        } else if (year < 0) {
            year = LeadingNumber(token, 2, 4);
        }
    }
    if (year >= 70 && year <= 99)
        year += 1900;
    else if (year >= 0 && year <= 69)
        year += 2000;
    if (!foundTime || day < 1 || day > 31 || month < 1 || year < 1601 || hour > 23 || minute > 59 || second > 59)
        return QDateTime();
    const QDate date(year, month, day);
    if (!date.isValid())
        return QDateTime();
    return QDateTime(date, QTime(hour, minute, second), Qt::UTC);
}

QString CookieHeader(const QString &host, const QDateTime &now)
{
    const QString path = IniPath();
    if (path.isEmpty())
        return QString();
    TIniFile ini(path);
    const QString section = SectionOf(host);
    const QString expirySection = ExpirySectionOf(host);
    QStringList pairs;
    bool removed = false;
    for (const QString &name : ini.ReadSection(section)) {
        const QString stored = ini.ReadString(expirySection, name);
        QDateTime expiry = QDateTime::fromString(stored, ExpiryFormat);
        expiry.setTimeSpec(Qt::UTC);
        if (!stored.isEmpty() && expiry.isValid() && expiry <= now) {
            ini.DeleteKey(section, name);
            ini.DeleteKey(expirySection, name);
            removed = true;
            continue;
        }
        pairs << name + QLatin1Char('=') + ini.ReadString(section, name);
    }
    if (removed)
        ini.UpdateFile();
    return pairs.join(QStringLiteral("; "));
}

void Store(const QString &host, const QStringList &setCookies, const QDateTime &now)
{
    const QString path = IniPath();
    if (path.isEmpty() || setCookies.isEmpty())
        return;
    TIniFile ini(path);
    const QString section = SectionOf(host);
    const QString expirySection = ExpirySectionOf(host);
    for (const QString &text : setCookies) {
        const QStringList parts = text.split(u';');
        const QString pair = parts.value(0).trimmed();
        const qsizetype eq = pair.indexOf(u'=');
        const QString name = pair.left(eq).trimmed();
        if (eq <= 0 || name.isEmpty())
            continue;
        const std::optional<QDateTime> expiry = ExpiryOf(parts, now);
        if (expiry && *expiry <= now) {
            ini.DeleteKey(section, name);
            ini.DeleteKey(expirySection, name);
            continue;
        }
        ini.WriteString(section, name, pair.mid(eq + 1).trimmed());
        if (expiry)
            ini.WriteString(expirySection, name, expiry->toUTC().toString(ExpiryFormat));
        else
            ini.DeleteKey(expirySection, name);
    }
    ini.UpdateFile();
}

}  // namespace CookieStore
