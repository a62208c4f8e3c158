#include "services/LinkExtraction.h"

#include "core/FileUtil.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "services/DownloaderList.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <algorithm>

namespace {

const QString DefaultLinkTemplate = QStringLiteral("<P><A HREF=\"%s\">%s</A></P>");

bool InsideSomeSite(const QString &url)
{
    TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr;
    for (int i = 0; sites && i < sites->Count(); ++i) {
        if (sites->Get(i)->MatchUrl(url))
            return true;
    }
    return false;
}

bool Shown(const ResSearch::TLinkItem &link, const TLinkFilter &filter)
{
    if (filter.NewOnly && !link.Res->IsNew)
        return false;
    if (filter.BookmarkedOnly) {
        const TThreadItem *item = link.ResList->Item();
        if (!item || !item->Bookmarks.FindByResNo(link.Res->Number))
            return false;
    }
    return !filter.ByPlace || InsideSomeSite(link.URL) == filter.InsideBoards;
}

QString ThreadTitle(const ResSearch::TLinkItem &link)
{
    return link.ResList->Item() ? link.ResList->Item()->ShownTitle() : QString();
}

}  // namespace

TLinkType TLinkType::FromLine(const QString &line)
{
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    TLinkType type{line.left(bar < 0 ? line.size() : bar), {}};
    QString list = bar < 0 ? line : line.mid(bar + 1);
    list.replace(QLatin1Char(';'), QLatin1Char(','));
    for (const QString &part : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        type.Extensions << part.trimmed();
    return type;
}

TLinkExtraction::TLinkExtraction() = default;
TLinkExtraction::~TLinkExtraction() = default;

void TLinkExtraction::AddThread(TThreadItem *item)
{
    auto list = std::make_unique<TResList>(item);
    item->LoadResList(*list);
    sources.push_back(std::move(list));
}

void TLinkExtraction::AddResList(TThreadItem *item, const QList<TRes *> &posts)
{
    auto list = std::make_unique<TResList>(item);
    for (const TRes *res : posts)
        list->Add(new TRes(*res));
    sources.push_back(std::move(list));
}

void TLinkExtraction::ExtractLinks()
{
    for (const auto &list : sources)
        ResSearch::ExtractLinks(*list, links, false);
}

QList<int> TLinkExtraction::Visible(const TLinkFilter &filter) const
{
    QList<int> rows;
    for (int i = 0; i < links.size(); ++i) {
        if (Shown(links[i], filter))
            rows << i;
    }
    const bool byThread = sources.size() > 1;
    std::stable_sort(rows.begin(), rows.end(), [this, byThread](int a, int b) {
        if (byThread)
            return ThreadTitle(links[a]) < ThreadTitle(links[b]);
        return links[a].Res->Number < links[b].Res->Number;
    });
    return rows;
}

QList<int> TLinkExtraction::MatchingType(const QList<ResSearch::TLinkItem> &links, const QList<int> &rows, const TLinkType &type)
{
    QList<int> matching;
    for (int row : rows) {
        if (type.Extensions.contains(links[row].Extension))
            matching << row;
    }
    return matching;
}

QList<int> TLinkExtraction::MatchingText(const QList<ResSearch::TLinkItem> &links, const QList<int> &rows, const QString &text)
{
    QList<int> matching;
    for (int row : rows) {
        if (!text.isEmpty() && links[row].URL.contains(text))
            matching << row;
    }
    return matching;
}

QList<TDownloadTarget> TLinkExtraction::LoadTargets(const QString &profileDir)
{
    QList<TDownloadTarget> targets{{QStringLiteral("クリップボード"), QStringLiteral("clipboard")}};
    TDownloaderList downloaders;
    downloaders.LoadFromFile(profileDir + QStringLiteral("downapp.txt"));
    for (const TDownloader &downloader : downloaders.Items)
        targets << TDownloadTarget{downloader.Name, downloader.Path};
    return targets;
}

bool TLinkExtraction::Dispatch(const TDownloadTarget &target, const QStringList &urls, QString *error)
{
    if (target.Command == QLatin1String("clipboard")) {
        QGuiApplication::clipboard()->setText(urls.join(QLatin1String("\r\n")));
        return true;
    }
    QProcess process;
    process.setProgram(target.Command);
    process.setArguments(urls);
    if (process.startDetached())
        return true;
    if (error)
        *error = QStringLiteral("%1 を起動できませんでした。").arg(target.Command);
    return false;
}

QString TLinkExtraction::LinkPage(const QString &linkTemplate, const QStringList &urls)
{
    QString page = QStringLiteral("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;CHARSET=x-sjis\"></HEAD><BODY BGCOLOR=\"#ffffff\">");
    for (const QString &url : urls)
        page += QString(linkTemplate).replace(QLatin1String("%s"), url.toHtmlEscaped());
    return page + QStringLiteral("</body></html>");
}

QString TLinkExtraction::LoadLinkTemplate(const QString &profileDir)
{
    const QString path = profileDir + QStringLiteral("linkprv.txt");
    TTextList text;
    if (!text.LoadFromFile(path)) {
        text.Lines = QStringList{DefaultLinkTemplate};
        text.SaveToFile(path);
    }
    return text.Text();
}
