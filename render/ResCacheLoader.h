#pragma once
// TResCacheLoader: renders the stored log of a thread into its browser tab when the tab opens.
//
// The thread reads the log file and parses it into responses on its own thread, a chunk at a time.
// Each chunk is handed to the GUI thread (queued, in order), where its responses join the tab's
// response list and are rendered: through OnCacheRes (the thread flow's rendering trio, which
// applies the response rules there) or, without it, straight into the tab. The HTML of a chunk
// (the first one starts with the skin's header) then goes to OnCacheChunk, or into the tab's page.
// OnCacheDone follows the last chunk, once the tab has put into its page what it still held back
// for a first screen (TTavuBrowser::ShowFirst). All callbacks run on the GUI thread.
//
// RenderFirstScreen, called just after Start, renders the chunks up to the tab's first screen at
// once, ahead of whatever else the GUI thread has to do (such as laying out and painting the window
// for the new tab): it renders each chunk as soon as the thread has parsed it.
//
// A tab closed or given another response list meanwhile is never written into: its chunks are
// dropped and the loader stops. Cancel stops it too. Either way OnCacheDone still comes (Tab()
// is then null when the tab is gone), and the loader frees itself afterwards.
//
// The loader holds one reference to the thread item while it lives.

#include <QList>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class TRes;
class TResList;
class TTavuBrowser;
class TThreadItem;

class TResCacheLoader : public QThread {
    Q_OBJECT
public:
    // Created for a tab and its response list, with the responses the item's .inf marks erased;
    // nothing runs until Start.
    TResCacheLoader(TTavuBrowser *tab, TResList *list, TThreadItem *item, const QSet<int> &erased);
    ~TResCacheLoader() override;

    TTavuBrowser *Tab() const;   // null once the tab is gone
    TResList *ResList() const { return list; }
    TThreadItem *Item() const { return item; }
    int RenderedCount() const { return rendered; }   // responses added to the list
    // The tab is there, still holds the list the loader fills, and the loader was not told to stop.
    bool TabStillWanted() const;

    int ChunkSize = 100;   // responses per chunk

    std::function<void(TResCacheLoader *, TRes *)> OnCacheRes;
    std::function<void(TResCacheLoader *, const QString &html)> OnCacheChunk;
    std::function<void(TResCacheLoader *)> OnCacheDone;

    void Start();
    void RenderFirstScreen();
    void Cancel();   // from the GUI thread

protected:
    void run() override;

private:
    struct TChunk {
        std::shared_ptr<TResList> responses;
        int firstNumber = 1;
    };

    QPointer<TTavuBrowser> tab;
    TResList *list;
    quint64 listSerial;
    TThreadItem *item;
    QString logPath;
    QSet<int> erased;
    std::mutex handOver;
    std::condition_variable handedOne;
    QList<TChunk> handed;     // chunks the worker parsed, not taken by the GUI thread yet (handOver)
    bool workerDone = false;  // the worker has handed over its last chunk (handOver)
    QList<TChunk> ready;   // chunks that reached the GUI thread, not rendered yet
    bool parsed = false;   // the GUI thread took the worker's last chunk
    bool draining = false;
    bool headerWritten = false;
    bool doneReported = false;
    int endsToGo = 2;      // the done report and the thread's end; the loader is freed after both
    int rendered = 0;

    void Hand(std::optional<TChunk> chunk);
    void TakeHanded();
    void Drain();
    void RenderReady();
    bool TabHoldsList() const;   // the tab is there and still holds the list the loader fills
    void Render(const TChunk &chunk);
    void ReportDone();
    void EndReached();
};
