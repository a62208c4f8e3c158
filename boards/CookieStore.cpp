#include "boards/CookieStore.h"

#include "core/IniFile.h"
#include "core/TavuConfig.h"

#include <QDateTime>

namespace CookieStore {

namespace {

QString IniPath()
{
    return TavuConfig ? TavuConfig->GetProfileDir() + QStringLiteral("cookie.ini") : QString();
}

QString SectionOf(const QString &host)
{
    return host.section(u':', 0, 0).toLower();
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

bool Expired(const QStringList &parts)
{
    const QString maxAge = Attribute(parts, QStringLiteral("max-age"));
    bool ok = false;
    if (!maxAge.isEmpty() && maxAge.toLongLong(&ok) <= 0 && ok)
        return true;
    QString expires = Attribute(parts, QStringLiteral("expires"));
    if (expires.isEmpty())
        return false;
    expires.replace(u'-', u' ');   // "Wed, 21-Oct-2015 07:28:00 GMT", the old form
    const QDateTime when = QDateTime::fromString(expires, Qt::RFC2822Date);
    return when.isValid() && when < QDateTime::currentDateTimeUtc();
}

}  // namespace

QString CookieHeader(const QString &host)
{
    const QString path = IniPath();
    if (path.isEmpty())
        return QString();
    const TIniFile ini(path);
    QStringList pairs;
    for (const QString &line : ini.ReadSectionValues(SectionOf(host)))
        pairs << line;
    return pairs.join(QStringLiteral("; "));
}

void Store(const QString &host, const QStringList &setCookies)
{
    const QString path = IniPath();
    if (path.isEmpty() || setCookies.isEmpty())
        return;
    TIniFile ini(path);
    const QString section = SectionOf(host);
    for (const QString &text : setCookies) {
        const QStringList parts = text.split(u';');
        const QString pair = parts.value(0).trimmed();
        const qsizetype eq = pair.indexOf(u'=');
        const QString name = pair.left(eq).trimmed();
        if (eq <= 0 || name.isEmpty())
            continue;
        if (Expired(parts))
            ini.DeleteKey(section, name);
        else
            ini.WriteString(section, name, pair.mid(eq + 1).trimmed());
    }
    ini.UpdateFile();
}

}  // namespace CookieStore
