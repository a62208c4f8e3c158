#include "core/ResDownloader.h"

#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"

#include <utility>

TResDownloader::TResDownloader(TThreadItem *item)
{
    SetItem(item);
}

TResDownloader::~TResDownloader()
{
    ReleaseItem();
}

void TResDownloader::SetItem(TThreadItem *newItem)
{
    if (newItem)
        newItem->AddRef();
    ReleaseItem();
    item = newItem;
}

void TResDownloader::ReleaseItem()
{
    if (item)
        std::exchange(item, nullptr)->Release();
}

void TResDownloader::SetUrl(const QString &newUrl)
{
    const bool http = newUrl.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive)
                      || newUrl.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
    url = http ? newUrl : QString();
}

void TResDownloader::SetCacheReady()
{
    if (cacheReady)
        return;
    cacheReady = true;
    // The reports are moved out first: the done report may free this job.
    std::vector<Report> reports = std::exchange(held, {});
    for (Report &report : reports) {
        if (report.res)
            PassRes(report.res.release(), report.maximum, report.position);
        else
            report.other();
    }
}

void TResDownloader::Deliver(std::function<void()> report)
{
    if (cacheReady)
        report();
    else
        held.push_back(Report{nullptr, 0, 0, std::move(report)});
}

void TResDownloader::DeliverRes(TRes *res, int maximum, int position)
{
    if (cacheReady) {
        PassRes(res, maximum, position);
        return;
    }
    held.push_back(Report{std::unique_ptr<TRes>(res), maximum, position, {}});
}

void TResDownloader::PassRes(TRes *res, int maximum, int position)
{
    if (OnRes)
        OnRes(this, res, maximum, position);
    else if (ResList)
        ResList->Add(res);
    else
        delete res;
}

void TResDownloader::DeliverWebPage(const QString &pageUrl)
{
    Deliver([this, pageUrl] {
        if (OnWebPage)
            OnWebPage(this, pageUrl);
    });
}

void TResDownloader::DeliverDone(bool failed)
{
    Deliver([this, failed] {
        if (OnDone)
            OnDone(this, failed);
    });
}

void TResDownloader::DeliverError(int code, const QString &message, const QString &detail)
{
    Deliver([this, code, message, detail] {
        if (OnError)
            OnError(this, code, message, detail);
    });
}
