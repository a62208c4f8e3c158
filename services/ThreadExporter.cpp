#include "services/ThreadExporter.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "render/TavuDatStrings.h"
#include "render/TavuHtmlStrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>
#include <QUrl>
#include <memory>

namespace {

// The longest file name the file systems take, in bytes of their encoding.
constexpr int MaxNameBytes = 255;

int EncodedSize(const QString &text)
{
    return int(QFile::encodeName(text).size());
}

// The longest start of the text that takes at most maxBytes in the file system's encoding, cut
// between two characters (a character as the user sees it, never inside one).
QString CutToBytes(const QString &text, int maxBytes)
{
    if (EncodedSize(text) <= maxBytes)
        return text;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    int bytes = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        bytes += EncodedSize(text.mid(end, next - end));
        if (bytes > maxBytes)
            break;
        end = next;
    }
    return text.left(end);
}

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

QString TThreadExporter::SafeFileName(const QString &name, int maxBytes)
{
    QString safe = WithoutRefused(name).trimmed();
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);   // no hidden file, no "." or ".."
    return CutToBytes(safe, maxBytes).trimmed();
}

QString TThreadExporter::FileNameFor(const TThreadItem *item) const
{
    const QString extension = CutToBytes(WithoutRefused(Extension), MaxNameBytes / 2);
    const int nameBytes = MaxNameBytes - EncodedSize(extension);
    QString name = TitleAsName ? SafeFileName(item->TITLE, nameBytes) : SafeFileName(item->GetKey(), nameBytes);
    if (name.isEmpty())
        name = SafeFileName(item->GetKey(), nameBytes);
    return FileUtil::WithSlash(Folder) + name + extension;
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
