#include "core/DatLine.h"

#include "core/Board.h"
#include "core/TavuConfig.h"

namespace {

const QString DatSeparator = QStringLiteral("<>");
const QString OldCommaMark = QStringLiteral("＠｀");

// Splits at every "<>"; the pieces are views into line.
QList<QStringView> SplitAtSeparator(QStringView line)
{
    QList<QStringView> parts;
    qsizetype start = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype pos = line.indexOf(u'<', from);   // a single character is found fastest
        if (pos < 0 || pos + 1 >= line.size())
            break;
        if (line[pos + 1] != u'>') {
            from = pos + 1;
            continue;
        }
        parts.append(line.sliced(start, pos - start));
        start = from = pos + 2;
    }
    parts.append(line.sliced(start));
    return parts;
}

QList<QStringView> SplitAtComma(QStringView line)
{
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype pos = line.indexOf(u','); pos >= 0; pos = line.indexOf(u',', start)) {
        parts.append(line.sliced(start, pos - start));
        start = pos + 1;
    }
    parts.append(line.sliced(start));
    return parts;
}

QString OldFormField(QStringView field)
{
    QString text = field.toString();
    text.replace(OldCommaMark, QStringLiteral(","));
    return text;
}

QString Joined(const QList<QStringView> &parts, qsizetype from, qsizetype to, QStringView separator)
{
    QString text;
    for (qsizetype i = from; i < to; ++i) {
        if (i > from)
            text += separator;
        text += parts[i];
    }
    return text;
}

// The fields of a split line: name, mail, date; the message is everything up to the last field
// when there are more than five (a stray separator in the message), and the title the last one.
TDatFields FieldsOf(const QList<QStringView> &parts, QStringView separator, bool oldForm)
{
    auto field = [&](QStringView piece) { return oldForm ? OldFormField(piece) : piece.toString(); };
    TDatFields fields;
    const qsizetype n = parts.size();
    fields.Name = field(parts[0]);
    if (n > 1)
        fields.Mail = field(parts[1]);
    if (n > 2)
        fields.Date = field(parts[2]);
    if (n > 3) {
        const qsizetype bodyEnd = n > 5 ? n - 1 : 4;
        fields.Body = oldForm ? OldFormField(Joined(parts, 3, bodyEnd, separator))
                              : Joined(parts, 3, bodyEnd, separator);
        if (n > 4)
            fields.Title = field(parts[n - 1]);
    }
    fields.Complete = n >= 4;
    return fields;
}

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsWideDigit(QChar c) { return c >= u'０' && c <= u'９'; }

// The value of a run of ASCII or full-width digits; -1 when it is empty or holds anything else.
int DigitsValue(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (QChar c : text) {
        if (IsAsciiDigit(c))
            value = value * 10 + (c.unicode() - u'0');
        else if (IsWideDigit(c))
            value = value * 10 + (c.unicode() - u'０');
        else
            return -1;
    }
    return value;
}

// Splits "title (123)" into the title and the count; the count is 0 when the text has none.
void SplitTitleCount(QStringView text, TSubjectLine &out)
{
    const QStringView trimmed = text.trimmed();
    out.Title = trimmed.toString();
    out.Count = 0;
    if (!trimmed.endsWith(u')') && !trimmed.endsWith(u'）'))
        return;
    const qsizetype open = std::max(trimmed.lastIndexOf(u'('), trimmed.lastIndexOf(u'（'));
    if (open < 0)
        return;
    const int count = DigitsValue(trimmed.sliced(open + 1, trimmed.size() - open - 2).trimmed());
    if (count < 0)
        return;
    out.Count = count;
    out.Title = trimmed.first(open).trimmed().toString();
}

}  // namespace

TDatFields ParseDatLine(QStringView line)
{
    const QList<QStringView> parts = SplitAtSeparator(line);
    // The old form: no "<>", but commas between name, mail, date and message.
    if (parts.size() == 1 && line.count(u',') >= 3)
        return FieldsOf(SplitAtComma(line), u",", true);
    return FieldsOf(parts, DatSeparator, false);
}

QString ComposeDatLine(const QString &name, const QString &mail, const QString &date,
                       const QString &body, const QString &title)
{
    return name + DatSeparator + mail + DatSeparator + date + DatSeparator + body + DatSeparator + title;
}

QList<QByteArray> SplitLogLines(const QByteArray &log)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < log.size()) {
        qsizetype end = log.indexOf('\n', start);
        const qsizetype next = end < 0 ? log.size() : end + 1;
        if (end < 0)
            end = log.size();
        if (end > start && log[end - 1] == '\r')
            --end;
        lines.append(log.sliced(start, end - start));
        start = next;
    }
    return lines;
}

QByteArray LogLineBreak()
{
    return TavuConfig && TavuConfig->LOGMODE == 1 ? QByteArray("\n") : QByteArray("\r\n");
}

bool ParseSubjectLine(QStringView line, TSubjectLine &out)
{
    qsizetype sep = line.indexOf(DatSeparator);
    qsizetype sepSize = DatSeparator.size();
    if (sep < 0) {
        sep = line.indexOf(u',');
        sepSize = 1;
    }
    if (sep < 0)
        return false;
    const QStringView datName = line.first(sep).trimmed();
    if (!IsSafeFileName(datName))
        return false;
    out.DatName = datName.toString();
    const QStringView rest = line.sliced(sep + sepSize);
    if (sepSize == 1)
        SplitTitleCount(OldFormField(rest), out);
    else
        SplitTitleCount(rest, out);
    return true;
}

bool IsSafeFileName(QStringView name)
{
    return TBoard::IsSafePathPart(name.toString());
}
