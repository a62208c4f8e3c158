#include "services/PopupKillList.h"

#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "core/TextList.h"

namespace PopupKillList {

QStringList Load(const QString &fileName)
{
    TTextList list;
    list.LoadFromFile(fileName);
    return list.Lines;
}

QString UrlFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("killurl.txt");
}

QString TitleFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("killtitl.txt");
}

bool IsUrlKilled(const QString &url)
{
    for (const QString &pattern : Load(UrlFile())) {
        if (!pattern.isEmpty() && Tavutils::MatchWildcard(pattern, url))
            return true;
    }
    return false;
}

bool IsTitleKilled(const QString &title)
{
    if (title.isEmpty())
        return false;
    for (const QString &line : Load(TitleFile())) {
        if (line.compare(title, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool CanSuppress(const QString &value)
{
    return !value.contains(QLatin1String("about:blank")) && !value.contains(QStringLiteral("サーバーが見付かりません"));
}

void Add(const QString &fileName, const QString &value)
{
    const QString entry = value.trimmed();
    TTextList list;
    list.LoadFromFile(fileName);
    if (entry.isEmpty() || list.Lines.contains(entry))
        return;
    list.Lines.append(entry);
    list.SaveToFile(fileName);
}

QStringList RemoveDuplicates(QStringList lines)
{
    const qsizetype count = lines.size();
    for (qsizetype i = 0; i < count && i < lines.size(); ++i) {
        for (qsizetype j = lines.size() - 1; j > i; --j) {
            if (lines[j] == lines[i] || lines[j].trimmed().isEmpty())
                lines.removeAt(j);
        }
    }
    return lines;
}

QStringList Cleaned(QStringList lines)
{
    lines.removeIf([](const QString &line) { return line.toLower().startsWith(QLatin1String("about:blank")); });
    return lines;
}

}  // namespace PopupKillList
