#include "render/TavuDatStrings.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Res.h"

namespace {

// The date field as shown: the date with the ID, BE and IMG parts the response has.
QString ShownDateField(const TRes &res)
{
    QString field = res.Date;
    const std::pair<const char *, const QString *> parts[] = {{" ID:", &res.ID}, {" BE:", &res.BE}, {" IMG:", &res.Img}};
    for (const auto &[marker, value] : parts) {
        if (!value->isEmpty())
            field += QLatin1String(marker) + *value;
    }
    return field;
}

}  // namespace

void TTavuDatStrings::BeginView(TResList *)
{
    lines.clear();
}

void TTavuDatStrings::HideRes(TRes *res, const TTavuAction *)
{
    AppendRes(res);   // hidden from a view, still a line of the thread
}

bool TTavuDatStrings::TakesRes(const TRes *) const
{
    return true;
}

void TTavuDatStrings::AppendRes(TRes *res)
{
    if (DatMode) {
        lines[res->Number] = res->ToDatLine();
        return;
    }
    const QString title = res->Number == 1 ? res->Title : QString();
    lines[res->Number] =
        jconvert::UnicodeToSjis(ComposeDatLine(res->Name, res->Mail, ShownDateField(*res), res->Body, title));
}

bool TTavuDatStrings::EndView()
{
    return !lines.isEmpty();
}

QByteArray TTavuDatStrings::Bytes() const
{
    const QByteArray lineBreak = !LineBreak.isEmpty() ? LineBreak : DatMode ? QByteArray("\n") : QByteArray("\r\n");
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + lineBreak;
    return out;
}

void TTavuDatStrings::SaveToFile(const QString &path) const
{
    FileUtil::WriteFileAtomic(path, Bytes());
}
