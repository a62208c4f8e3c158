#include "core/TavuAction.h"

#include "core/Res.h"
#include "core/ThreadItem.h"

#include <QRegularExpression>

#include <array>

namespace {

const QString LineBreakCode = QStringLiteral("#13#10");
const QString DateFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

// The response fields a rule can look at, by target bit.
struct ResField {
    int bit;
    QString TRes::*field;
};
const std::array<ResField, 4> ResFields = {{
    {TTavuAction::RESHANDLE, &TRes::Name},
    {TTavuAction::RESMAIL, &TRes::Mail},
    {TTavuAction::RESID, &TRes::ID},
    {TTavuAction::RESBODY, &TRes::Body},
}};

bool IsSingleByte(char16_t c)
{
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
}

int SjisLength(const QString &text)
{
    int length = 0;
    for (const QChar c : text)
        length += IsSingleByte(c.unicode()) ? 1 : 2;
    return length;
}

bool ReadNumber(const QString &text, int *value)
{
    bool ok = false;
    *value = text.trimmed().toInt(&ok);
    return ok;
}

QDateTime ReadDate(const QString &text)
{
    return QDateTime::fromString(text.trimmed(), DateFormat);
}

// A pattern with line breaks as it matches in a message: the lines literally, a "<br>" tag between
// them with any blanks around it.
QRegularExpression MessagePattern(const QString &pattern, bool whole)
{
    QStringList lines = pattern.split(LineBreakCode);
    for (QString &line : lines)
        line = QRegularExpression::escape(line);
    QString expression = lines.join(QStringLiteral("\\s*<[Bb][Rr]>\\s*"));
    if (whole)
        expression = QStringLiteral("\\A(?:%1)\\z").arg(expression);
    return QRegularExpression(expression);
}

// A pattern outside a message: its line breaks stand as CR LF, so it never matches a one-line field.
QString PatternText(const QString &value)
{
    return QString(value).replace(LineBreakCode, QStringLiteral("\r\n"));
}

// A replacement text as it goes into a field: a line break is a "<br>" tag in a message and a
// blank in the one-line fields.
QString ReplacementText(const QString &value, bool isMessage)
{
    return QString(value).replace(LineBreakCode, isMessage ? QStringLiteral("<br>") : QStringLiteral(" "));
}

// Every match of the expression replaced by the text taken literally.
QString ReplaceMatches(const QString &text, const QRegularExpression &expression, const QString &replacement)
{
    QString result;
    qsizetype done = 0;
    for (const auto &match : expression.globalMatch(text)) {
        result += text.mid(done, match.capturedStart() - done);
        result += replacement;
        done = match.capturedEnd();
    }
    return result + text.mid(done);
}

// Changes the poster ID and the ID part of the stored date line with it.
void SetResId(TRes &res, const QString &id)
{
    QString field = res.DateField();
    const QString marker = QStringLiteral(" ID:");
    const qsizetype at = field.indexOf(marker + res.ID);
    if (at >= 0) {
        field.replace(at + marker.size(), res.ID.size(), id);
        res.SetDate(field);
    }
    res.ID = id;
}

}  // namespace

QString TTavuAction::FormatDate(const QDateTime &when)
{
    return when.toString(DateFormat);
}

bool TTavuAction::IsExpired(const QDateTime &now) const
{
    if (ExpireDays <= 0)
        return false;
    const QDateTime registered = ReadDate(RegistDate);
    return registered.isValid() && registered.addDays(ExpireDays) <= now;
}

void TTavuAction::RecordHit(const QDateTime &now)
{
    ++HitCount;
    LastHitDate = FormatDate(now);
}

bool TTavuAction::MatchText(const QString &text, bool isMessage) const
{
    int limit = 0;
    switch (Condition) {
    case LIKE:
    case SAME:
        if (Value1.isEmpty())
            return false;
        if (isMessage && Value1.contains(LineBreakCode))
            return MessagePattern(Value1, Condition == SAME).match(text).hasMatch();
        return Condition == SAME ? text == PatternText(Value1) : text.contains(PatternText(Value1));
    case LENGTHLT:
        return ReadNumber(Value1, &limit) && SjisLength(text) <= limit;
    case LENGTHGT:
        return ReadNumber(Value1, &limit) && SjisLength(text) >= limit;
    default:
        return false;
    }
}

QString TTavuAction::ReplaceText(const QString &text, bool isMessage) const
{
    const QString replacement = ReplacementText(Value2, isMessage);
    if (Condition != LIKE && Condition != SAME)
        return replacement;
    if (isMessage && Value1.contains(LineBreakCode))
        return ReplaceMatches(text, MessagePattern(Value1, false), replacement);
    return QString(text).replace(PatternText(Value1), replacement);
}

bool TTavuAction::MatchRes(const TRes &res) const
{
    for (const ResField &f : ResFields) {
        if ((Target & f.bit) && MatchText(res.*f.field, f.bit == RESBODY))
            return true;
    }
    // An ID followed by a server's marker is the poster's ID all the same.
    return (Target & RESID) && TRes::PosterID(res.ID) != res.ID && MatchText(TRes::PosterID(res.ID), false);
}

bool TTavuAction::MatchThread(const TThreadItem &item, const QDateTime &now) const
{
    if ((Target & THREADTITLE) && MatchText(item.TITLE, false))
        return true;
    int limit = 0;
    if (!ReadNumber(Value1, &limit))
        return false;
    if ((Target & THREADRESCOUNT) && Condition == COUNTGT && item.AGECOUNT > limit)
        return true;
    if (!(Target & THREADLOADDATE))
        return false;
    const QDateTime lastLoad = ReadDate(item.LAST_LOAD);
    if (!lastLoad.isValid())
        return false;
    if (Condition == DATEGT)
        return lastLoad.addDays(limit) < now;
    return Condition == NONGETCOUNTGT && item.AGECOUNT - item.COUNT > limit;
}

void TTavuAction::ReplaceInRes(TRes &res) const
{
    for (const ResField &f : ResFields) {
        const bool isMessage = f.bit == RESBODY;
        if (!(Target & f.bit) || !MatchText(res.*f.field, isMessage))
            continue;
        const QString replaced = ReplaceText(res.*f.field, isMessage);
        if (f.bit == RESID)
            SetResId(res, replaced);
        else
            res.*f.field = replaced;
    }
}

void TTavuAction::ReplaceInThread(TThreadItem &item) const
{
    if ((Target & THREADTITLE) && MatchText(item.TITLE, false))
        item.TITLE = ReplaceText(item.TITLE, false);
}
