#include "settings/ThreadExporter.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "render/TavuDatStrings.h"
#include "render/TavuHtmlStrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <memory>

namespace {

constexpr int MaxNameLength = 100;

// The line end of the stored log (its first one); the program's own when there is no log.
QByteArray StoredLineBreak(const TThreadItem *item)
{
    const QString path = item->GetLogFile();
    if (!path.isEmpty() && QFile::exists(path)) {
        const QByteArray log = FileUtil::ReadFile(path);
        const qsizetype end = log.indexOf('\n');
        if (end >= 0)
            return end > 0 && log[end - 1] == '\r' ? QByteArray("\r\n") : QByteArray("\n");
    }
    return LogLineBreak();
}

// The text without separators, characters file systems refuse and control characters.
QString WithoutRefused(const QString &name)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|,;");
    QString safe;
    for (const QChar ch : name)
        if (!refused.contains(ch) && ch.category() != QChar::Other_Control)
            safe += ch;
    return safe;
}

// The folder as a URL relative to the page's folder, with a trailing "/", each part percent-encoded.
QString RelativeUrl(const QString &pageFolder, const QString &folder)
{
    const QString relative = QDir(pageFolder).relativeFilePath(folder);
    QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (QString &part : parts)
        part = QString::fromLatin1(QUrl::toPercentEncoding(part));
    return parts.isEmpty() ? QStringLiteral("./") : parts.join(QLatin1Char('/')) + QLatin1Char('/');
}

}  // namespace

QString TThreadExporter::SafeFileName(const QString &name)
{
    QString safe = WithoutRefused(name).left(MaxNameLength).trimmed();
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);   // no hidden file, no "." or ".."
    return safe;
}

QString TThreadExporter::FileNameFor(const TThreadItem *item) const
{
    QString name = TitleAsName ? SafeFileName(item->TITLE) : SafeFileName(item->GetKey());
    if (name.isEmpty())
        name = SafeFileName(item->GetKey());
    return FileUtil::WithSlash(Folder) + name + WithoutRefused(Extension);
}

QString TThreadExporter::Export(TThreadItem *item, TResList *list) const
{
    std::unique_ptr<TResList> stored;
    if (!list) {
        stored = std::make_unique<TResList>(item);
        item->LoadResList(*stored);
        list = stored.get();
    }
    if (list->Count() == 0)
        return QString();
    const QString path = FileNameFor(item);
    if (Format == efHtml)
        WriteHtml(item, list, path);
    else
        WriteDat(item, list, path);
    return path;
}

void TThreadExporter::WriteHtml(TThreadItem *item, TResList *list, const QString &path) const
{
    TTavuHtmlStrings html;
    html.Skin = Skin;
    html.Skin.SkinUrl = RelativeUrl(QFileInfo(path).absolutePath(), Skin.SkinPath);
    html.Site = item->Site;
    html.BoardID = item->BoardID;
    html.ResList = list;
    Render(&html, list);
    html.SaveToFile(path);
}

void TThreadExporter::WriteDat(TThreadItem *item, TResList *list, const QString &path) const
{
    TTavuDatStrings dat;
    dat.Site = item->Site;
    dat.BoardID = item->BoardID;
    dat.DatMode = true;
    dat.LineBreak = StoredLineBreak(item);
    Render(&dat, list);
    dat.SaveToFile(path);
}
