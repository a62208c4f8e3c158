#include "services/ImageCache.h"

#include "net/HttpCli.h"
#include "net/TavuHttp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QUrl>

TImageCache::TImageCache(const QString &folder, int maxJobs, QObject *parent)
    : QObject(parent), folder(folder), maxJobs(qMax(1, maxJobs))
{
}

TImageCache::~TImageCache()
{
    waiting.clear();
    for (TTavuHttp *job : jobs.keys()) {
        job->ClearEvents();
        job->Abort();
    }
}

QString TImageCache::CacheFile(const QString &url) const
{
    QString extension = QUrl(url).fileName().section(QLatin1Char('.'), -1).toLower();
    static const QStringList known{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("gif"), QStringLiteral("webp")};
    if (!known.contains(extension))
        extension = QStringLiteral("img");
    const QByteArray hash = QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex();
    return folder + QString::fromLatin1(hash) + QLatin1Char('.') + extension;
}

bool TImageCache::IsCached(const QString &url) const
{
    return QFile::exists(CacheFile(url));
}

void TImageCache::Request(const QString &url)
{
    if (IsCached(url)) {
        emit Ready(url, CacheFile(url));
        return;
    }
    if (waiting.contains(url) || jobs.values().contains(url))
        return;
    waiting << url;
    Pump();
}

void TImageCache::Pump()
{
    while (jobs.size() < maxJobs && !waiting.isEmpty())
        Start(waiting.takeFirst());
}

void TImageCache::Start(const QString &url)
{
    auto *job = new TTavuHttp(this);
    job->URL = url;
    job->OnError = [this](TTavuHttp *sender, void *, int code, const QString &message, const QString &) {
        if (code == httpAborted)
            aborted = true;
        errors.insert(sender, message);
    };
    job->OnDone = [this](TTavuHttp *sender, void *, bool failed) { JobDone(sender, failed); };
    jobs.insert(job, url);
    peak = qMax(peak, int(jobs.size()));
    job->GetUnconditional(CacheFile(url));
}

void TImageCache::JobDone(TTavuHttp *job, bool failed)
{
    const QString url = jobs.take(job);
    const QString message = errors.take(job);
    job->ClearEvents();
    job->deleteLater();
    if (aborted) {
        waiting.clear();   // stop-all: nothing more is fetched
        if (jobs.isEmpty())
            aborted = false;
    }
    if (failed)
        emit Failed(url, message);
    else
        emit Ready(url, CacheFile(url));
    Pump();
}
