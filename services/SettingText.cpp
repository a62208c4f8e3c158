#include "services/SettingText.h"

#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "services/OutsidePage.h"

#include <QRegularExpression>

QString TSettingText::UrlOf(const QString &boardUrl)
{
    return MonaUtils::ExtractUrlPath(boardUrl) + QStringLiteral("SETTING.TXT");
}

bool TSettingText::Load(const QString &boardUrl, QString &error)
{
    const QString url = UrlOf(boardUrl);
    const TOutsidePage page = FetchOutsidePage(url);
    if (!page.Ok()) {
        error = page.Error;
        return false;
    }
    if (!Parse(page.Body)) {
        error = UnknownPageFormat(url);
        return false;
    }
    return true;
}

bool TSettingText::Parse(const QByteArray &sjis)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    static const QRegularExpression keyForm(QStringLiteral("^[A-Za-z0-9_]+$"));
    QStringList newLines = jconvert::SjisToUnicode(sjis).split(lineBreak);
    while (!newLines.isEmpty() && newLines.last().isEmpty())
        newLines.removeLast();
    QList<QPair<QString, QString>> newPairs;
    for (const QString &line : std::as_const(newLines)) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && keyForm.match(line.left(eq)).hasMatch())
            newPairs.append({line.left(eq), line.mid(eq + 1)});
    }
    if (newPairs.isEmpty())
        return false;
    lines = newLines;
    pairs = newPairs;
    return true;
}

bool TSettingText::Has(const QString &key) const
{
    for (const auto &pair : pairs) {
        if (pair.first == key)
            return true;
    }
    return false;
}

QString TSettingText::Value(const QString &key) const
{
    for (const auto &pair : pairs) {
        if (pair.first == key)
            return pair.second;
    }
    return QString();
}

int TSettingText::IntValue(const QString &key, int fallback) const
{
    bool ok = false;
    const int value = Value(key).trimmed().toInt(&ok);
    return ok ? value : fallback;
}
