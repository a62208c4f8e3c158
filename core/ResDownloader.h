#pragma once
// TResDownloader: the record of one thread download, carried between the caller and the board type.
//
// The board type reports each new response, a web page, the end and errors through the Deliver
// operations. Until the stored log has been rendered (SetCacheReady), those reports are held in
// order, so new responses never interleave with the cached ones and the end never comes before them.
// Once ready they go straight to the callbacks. The done report ends the delivery (its callback may
// free the job).

#include <QPointer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TBBS;
class TBoard;
class TRes;
class TResList;
class TSite;
class TThreadItem;

class TResDownloader {
public:
    // Takes one reference to the item (when given).
    explicit TResDownloader(TThreadItem *item = nullptr);
    // Releases the reference still held; frees responses still held back.
    ~TResDownloader();
    TResDownloader(const TResDownloader &) = delete;
    TResDownloader &operator=(const TResDownloader &) = delete;

    TThreadItem *Item() const { return item; }
    void SetItem(TThreadItem *newItem);   // releases the old item's reference, takes one on the new
    void ReleaseItem();                   // drops the reference now

    // Keeps the URL only when it begins with "http://" or "https://"; anything else clears it.
    void SetUrl(const QString &url);
    const QString &Url() const { return url; }

    bool CacheReady() const { return cacheReady; }
    // Marks the stored log as rendered and delivers what was held, in order.
    void SetCacheReady();

    // Reports of the board type. A response passes to OnRes (which takes it over); without OnRes it
    // goes to ResList, or is freed when there is none.
    void DeliverRes(TRes *res, int maximum, int position);
    void DeliverWebPage(const QString &pageUrl);
    void DeliverDone(bool failed);
    void DeliverError(int code, const QString &message, const QString &detail);

    TBBS *BBS = nullptr;
    TSite *Site = nullptr;
    TBoard *Board = nullptr;
    TResList *ResList = nullptr;     // not owned
    QPointer<QObject> Tab;           // the view that started the download, if any
    bool Reload = false;             // fetch even what the validators say is unchanged
    bool FirstMode = false;          // the second mode flag of the board type's download
    int CodePage = 0;                // 0 Shift_JIS, 1 EUC-JP, 2 UTF-8
    bool NotModified = false;        // the server answered "not modified"

    std::function<void(TResDownloader *, TRes *, int maximum, int position)> OnRes;
    std::function<void(TResDownloader *, const QString &pageUrl)> OnWebPage;
    std::function<void(TResDownloader *, bool failed)> OnDone;
    std::function<void(TResDownloader *, int code, const QString &message, const QString &detail)> OnError;

private:
    TThreadItem *item = nullptr;
    QString url;
    bool cacheReady = false;
    // A report held back: a response (owned until delivered), or another report.
    struct Report {
        std::unique_ptr<TRes> res;
        int maximum = 0;
        int position = 0;
        std::function<void()> other;
    };
    std::vector<Report> held;

    void Deliver(std::function<void()> report);
    void PassRes(TRes *res, int maximum, int position);
};
