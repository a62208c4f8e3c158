#pragma once
// TImageCache: downloads pictures into a cache folder (the profile's temporary folder) through HTTP
// jobs, at most MaxJobs at a time, each URL once: a URL already cached, running or waiting is not
// fetched again. Cache file names are made from a hash of the URL, never from the URL itself.
// When a job is aborted (stop-all aborts every job) the waiting URLs are dropped as well.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

class TTavuHttp;

class TImageCache : public QObject {
    Q_OBJECT
public:
    explicit TImageCache(const QString &folder, int maxJobs = 4, QObject *parent = nullptr);
    ~TImageCache() override;

    // Asks for the picture; Ready comes at once when it is cached already.
    void Request(const QString &url);
    QString CacheFile(const QString &url) const;
    bool IsCached(const QString &url) const;

    int Running() const { return int(jobs.size()); }
    int Waiting() const { return int(waiting.size()); }
    int PeakJobs() const { return peak; }

signals:
    void Ready(const QString &url, const QString &fileName);
    void Failed(const QString &url, const QString &message);

private:
    void Pump();
    void Start(const QString &url);
    void JobDone(TTavuHttp *job, bool failed);

    QString folder;
    int maxJobs;
    int peak = 0;
    QStringList waiting;
    QHash<TTavuHttp *, QString> jobs;
    QHash<TTavuHttp *, QString> errors;
    bool aborted = false;
};
