#include "core/Res.h"

#include "core/DatLine.h"
#include "core/JConvert.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace {

const std::array<QString, 3> DateParts = {QStringLiteral(" ID:"), QStringLiteral(" BE:"),
                                          QStringLiteral(" IMG:")};

// The date field cut at its markers: where each marker starts (-1 when absent).
struct DateMarkers {
    std::array<qsizetype, 3> at;

    explicit DateMarkers(const QString &text)
    {
        for (size_t i = 0; i < at.size(); ++i)
            at[i] = text.indexOf(DateParts[i]);
    }

    // Where the text from `from` on ends: at the next marker, else at the end of the text.
    qsizetype EndAfter(qsizetype from, qsizetype size) const
    {
        qsizetype end = size;
        for (qsizetype pos : at) {
            if (pos >= from)
                end = std::min(end, pos);
        }
        return end;
    }

    QString Part(const QString &text, size_t index) const
    {
        if (at[index] < 0)
            return QString();
        const qsizetype start = at[index] + DateParts[index].size();
        return text.mid(start, EndAfter(start, text.size()) - start).trimmed();
    }
};

}  // namespace

QString TRes::PosterID(const QString &id)
{
    static const QRegularExpression marker(QStringLiteral("\\s*[(（][^()（）]*[)）]$"));
    QString plain = id;
    plain.remove(marker);
    return plain.isEmpty() ? id : plain;
}

void TRes::Assign(const TRes &other)
{
    *this = other;
}

void TRes::SetMail(const QString &mail)
{
    Mail = mail;
    Mail.remove(u'&');
    Mail.remove(u'<');
    Mail.remove(u'>');
}

void TRes::SetDate(const QString &text)
{
    dateField = text;
    const DateMarkers markers(text);
    Date = text.left(markers.EndAfter(0, text.size()));
    ID = markers.Part(text, 0);
    BE = markers.Part(text, 1);
    Img = markers.Part(text, 2);
}

QByteArray TRes::ToDatLine() const
{
    if (HasDatLine)
        return DatLine;
    const QString title = Number == 1 ? Title : QString();
    return jconvert::UnicodeToSjis(ComposeDatLine(Name, Mail, dateField, Body, title));
}
