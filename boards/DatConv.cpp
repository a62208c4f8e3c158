#include "boards/DatConv.h"

#include "core/DatLine.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ThreadItem.h"

#include <QRegularExpression>

namespace DatConv {

QString ExtractFileKey(const QString &text)
{
    const qsizetype slash = qMax(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
    const QString name = text.mid(slash + 1);
    const qsizetype dot = name.indexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

namespace {

const QString WideColon = QStringLiteral("：");

// The mail of a name part: the target of its "mailto:" link.
QString MailOf(const QString &namePart)
{
    static const QRegularExpression link(QStringLiteral("href=\"?mailto:([^\">]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return link.match(namePart).captured(1);
}

// The name of a name part: what stands between its first "<b>" and last "</b>" (a trip keeps its
// tags, as in a dat line), else the part without tags.
QString NameOf(const QString &namePart)
{
    const qsizetype open = namePart.indexOf(QLatin1String("<b>"), 0, Qt::CaseInsensitive);
    const qsizetype close = namePart.lastIndexOf(QLatin1String("</b>"), -1, Qt::CaseInsensitive);
    if (open >= 0 && close > open)
        return namePart.mid(open + 3, close - open - 3).trimmed();
    return MonaUtils::StripHtmlTags(namePart);
}

// The message of an entry: the text after "<dd>" without the blank lines that close it.
QString BodyOf(QString body)
{
    static const QRegularExpression tail(QStringLiteral("(\\s|<br>)+$"), QRegularExpression::CaseInsensitiveOption);
    body.remove(tail);
    return body.trimmed();
}

QString TitleOf(const QString &page)
{
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption
                                              | QRegularExpression::DotMatchesEverythingOption);
    return title.match(page).captured(1).trimmed();
}

bool EntryOf(const QString &entry, const QString &title, TNumberedLine &out)
{
    const qsizetype dd = entry.indexOf(QLatin1String("<dd>"), 0, Qt::CaseInsensitive);
    const QString head = dd < 0 ? entry : entry.left(dd);
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)"));
    const QRegularExpressionMatch m = number.match(head);
    const qsizetype first = head.indexOf(WideColon);
    const qsizetype last = head.lastIndexOf(WideColon);
    if (!m.hasMatch() || dd < 0 || first < 0 || last <= first)
        return false;
    out.Number = m.captured(1).toInt();
    const QString namePart = head.mid(first + 1, last - first - 1);
    const QString date = MonaUtils::StripHtmlTags(head.mid(last + 1));
    QString body = entry.mid(dd + 4);
    const qsizetype listEnd = body.indexOf(QLatin1String("</dl>"), 0, Qt::CaseInsensitive);
    if (listEnd >= 0)
        body.truncate(listEnd);
    out.DatLine = ComposeDatLine(NameOf(namePart), MailOf(namePart), date, BodyOf(body),
                                 out.Number == 1 ? title : QString());
    return out.Number > 0;
}

}  // namespace

QList<TNumberedLine> HtmlToDat(const QString &page)
{
    QList<TNumberedLine> lines;
    const QString title = TitleOf(page);
    static const QRegularExpression dt(QStringLiteral("<dt>"), QRegularExpression::CaseInsensitiveOption);
    const QStringList entries = page.split(dt);
    for (qsizetype i = 1; i < entries.size(); ++i) {
        TNumberedLine line;
        if (EntryOf(entries[i], title, line))
            lines << line;
    }
    return lines;
}

bool RawLineToDat(const QString &line, TNumberedLine &out)
{
    const QStringList fields = line.split(QStringLiteral("<>"));
    bool ok = false;
    const int number = fields.value(0).trimmed().toInt(&ok);
    if (!ok || number <= 0 || fields.size() < 5)
        return false;
    QString date = fields[3];
    const QString id = fields.value(6).trimmed();
    if (!id.isEmpty())
        date += QStringLiteral(" ID:") + id;
    out.Number = number;
    out.DatLine = ComposeDatLine(fields[1], fields[2], date, fields[4], fields.value(5));
    return true;
}

TRes *MakeRes(const QString &line, const QByteArray &bytes, int number, const TThreadItem *item)
{
    const TDatFields fields = ParseDatLine(line);
    auto *res = new TRes();
    res->Number = number;
    res->Name = fields.Name;
    res->SetMail(fields.Mail);
    res->SetDate(fields.Date);
    res->Body = fields.Body;
    res->Title = item && !item->TITLE.isEmpty() ? item->TITLE : fields.Title;
    res->DatLine = bytes;
    res->HasDatLine = true;
    if (item) {
        res->BBS = item->BBS;
        res->Site = item->Site;
        res->Board = item->GetBoard();
    }
    return res;
}

}  // namespace DatConv
