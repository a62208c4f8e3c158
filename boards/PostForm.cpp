#include "boards/PostForm.h"

#include "core/MonaUtils.h"

#include <QRegularExpression>

void TPostForm::Add(const QString &name, const QString &value)
{
    fields.append({name, value});
}

void TPostForm::AddMissing(const QString &name, const QString &value)
{
    for (const auto &field : fields) {
        if (field.first == name)
            return;
    }
    Add(name, value);
}

QString TPostForm::Value(const QString &name) const
{
    for (const auto &field : fields) {
        if (field.first == name)
            return field.second;
    }
    return QString();
}

QByteArray TPostForm::Encode(int codePage) const
{
    QStringList pairs;
    for (const auto &field : fields)
        pairs << MonaUtils::UrlEncode(field.first, codePage) + u'=' + MonaUtils::UrlEncode(field.second, codePage);
    return pairs.join(u'&').toLatin1();
}

namespace PostReply {

namespace {

bool ContainsAny(const QString &text, std::initializer_list<const char16_t *> words)
{
    for (const char16_t *word : words) {
        if (text.contains(QString::fromUtf16(word), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// An attribute of a tag's text: quoted with " or ', or up to the next blank.
QString AttributeOf(const QString &tag, const QString &name)
{
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]*))").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    for (int i = 1; i <= 3; ++i) {
        if (m.capturedStart(i) >= 0)
            return m.captured(i);
    }
    return QString();
}

}  // namespace

QString Title(const QString &page)
{
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption
                                              | QRegularExpression::DotMatchesEverythingOption);
    return MonaUtils::StripHtmlTags(title.match(page).captured(1));
}

QString Reason(const QString &page)
{
    static const QRegularExpression head(QStringLiteral("^.*<body[^>]*>|<!--.*?-->"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression breaks(QStringLiteral("<\\s*(br|/?p|/?div|/?h\\d|/?tr|/?td|hr)\\b[^>]*>|[\\r\\n]+"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString body = page;
    body.remove(head).replace(breaks, QStringLiteral("\n")).remove(tags);
    const QString title = Title(page).trimmed();
    for (const QString &line : body.split(QLatin1Char('\n'))) {
        const QString text = MonaUtils::DecodeEntities(line).trimmed();
        if (text != title && ContainsAny(text, {u"ERROR", u"ＥＲＲＯＲ", u"エラー"}))
            return text;
    }
    return QString();
}

Kind Classify(const QString &page)
{
    // The 2ch scripts mark their answers with a comment; other scripts are known by their titles.
    if (page.contains(QLatin1String("2ch_X:true")))
        return Success;
    if (page.contains(QLatin1String("2ch_X:cookie")))
        return Confirm;
    if (ContainsAny(page, {u"2ch_X:false", u"2ch_X:error", u"2ch_X:check"}))
        return Error;
    const QString title = Title(page);
    if (ContainsAny(title, {u"書き込み確認", u"書きこみ確認"}))
        return Confirm;
    if (ContainsAny(title, {u"ERROR", u"ＥＲＲＯＲ", u"エラー"}))
        return Error;
    if (ContainsAny(title, {u"書きこみました", u"書き込みました"}))
        return Success;
    return Error;
}

QList<QPair<QString, QString>> HiddenFields(const QString &page)
{
    QList<QPair<QString, QString>> fields;
    static const QRegularExpression input(QStringLiteral("<input\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    for (auto it = input.globalMatch(page); it.hasNext();) {
        const QString tag = it.next().captured();
        const QString name = AttributeOf(tag, QStringLiteral("name"));
        if (AttributeOf(tag, QStringLiteral("type")).compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0
            && !name.isEmpty())
            fields.append({MonaUtils::DecodeEntities(name),
                           MonaUtils::DecodeEntities(AttributeOf(tag, QStringLiteral("value")))});
    }
    return fields;
}

}  // namespace PostReply
