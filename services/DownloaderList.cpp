#include "services/DownloaderList.h"

#include "core/TextList.h"

TDownloader TDownloader::FromLine(const QString &line)
{
    TDownloader row;
    row.Line = line;
    row.FromFile = true;
    row.Name = line.section(QLatin1Char('='), 0, 0);
    row.Path = line.section(QLatin1Char('='), 1, 1);
    return row;
}

QString TDownloader::ToLine() const
{
    if (FromFile) {
        const TDownloader read = FromLine(Line);
        if (read.Name == Name && read.Path == Path)
            return Line;
    }
    return Name + QLatin1Char('=') + Path;
}

bool TDownloaderList::LoadFromFile(const QString &path)
{
    TTextList file;
    const bool loaded = file.LoadFromFile(path);
    Items.clear();
    for (const QString &line : file.Lines)
        Items.append(TDownloader::FromLine(line));
    return loaded;
}

void TDownloaderList::SaveToFile(const QString &path) const
{
    QStringList lines;
    for (const TDownloader &row : Items)
        lines.append(row.ToLine());
    TTextList::RewriteFile(path, lines);
}
