#include "controls/ListViewCompare.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>
#include <cmath>
#include <limits>

namespace {

template <typename T>
int Sign(T a, T b)
{
    return (a > b) - (a < b);
}

QCollator MakeCollator(Qt::CaseSensitivity sensitivity)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(sensitivity);
    return collator;
}

bool ReadDouble(const QString &text, double &value)
{
    bool ok = false;
    const double read = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

// "yyyy/mm/dd" or "mm/dd" (this year).
bool ReadDate(const QString &text, QDate &date)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int numbers[3] = {QDate::currentDate().year(), 0, 0};
    const int first = 3 - int(parts.size());
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        numbers[first + i] = parts[i].toInt(&ok);
        if (!ok)
            return false;
    }
    date = QDate(numbers[0], numbers[1], numbers[2]);
    return date.isValid();
}

// "hh:nn" or "hh:nn:ss".
bool ReadTime(const QString &text, QTime &time)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int numbers[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok)
            return false;
    }
    time = QTime(numbers[0], numbers[1], numbers[2]);
    return time.isValid();
}

// A time alone counts from the same day as every other time alone.
const QDate TimeOnlyDay(1899, 12, 30);

}

namespace ListViewCompare {

static qint64 DateTimeOrEarliest(const QString &text)
{
    QDateTime value;
    return TextToDateTime(text, value) ? value.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

int CompareText(const QString &a, const QString &b)
{
    static const QCollator ignoringCase = MakeCollator(Qt::CaseInsensitive);
    static const QCollator withCase = MakeCollator(Qt::CaseSensitive);
    const int result = ignoringCase.compare(a, b);
    return result != 0 ? result : withCase.compare(a, b);
}

bool TextToNumber(const QString &text, double &value)
{
    const QString trimmed = text.trimmed();
    const int blank = trimmed.indexOf(QLatin1Char(' '));
    const QString number = blank < 0 ? trimmed : trimmed.left(blank);
    if (ReadDouble(number, value))
        return true;
    QString plain = number;
    plain.remove(QLatin1Char(','));
    return !plain.isEmpty() && plain != number && ReadDouble(plain, value);
}

bool TextToDateTime(const QString &text, QDateTime &value)
{
    const bool hasDate = text.contains(QLatin1Char('/'));
    const bool hasTime = text.contains(QLatin1Char(':'));
    const QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != int(hasDate) + int(hasTime))
        return false;
    QDate date = TimeOnlyDay;
    QTime time(0, 0);
    if (hasDate && !ReadDate(parts.first(), date))
        return false;
    if (hasTime && !ReadTime(parts.last(), time))
        return false;
    value = QDateTime(date, time, Qt::UTC);
    return true;
}

int CompareSmart(const QString &a, const QString &b)
{
    QDateTime dateA, dateB;
    if (TextToDateTime(a, dateA) && TextToDateTime(b, dateB))
        return Sign(dateA.toMSecsSinceEpoch(), dateB.toMSecsSinceEpoch());
    double numberA = 0, numberB = 0;
    if (TextToNumber(a, numberA) && TextToNumber(b, numberB))
        return Sign(numberA, numberB);
    return CompareText(a, b);
}

int CompareAs(TSortAs sortAs, const QString &a, const QString &b)
{
    switch (sortAs) {
    case saString:
        return CompareText(a, b);
    case saNumeric: {
        double numberA = 0, numberB = 0;
        TextToNumber(a, numberA);
        TextToNumber(b, numberB);
        return Sign(numberA, numberB);
    }
    case saDateTime:
        return Sign(DateTimeOrEarliest(a), DateTimeOrEarliest(b));
    case saNone:
        break;
    }
    return 0;
}

}
