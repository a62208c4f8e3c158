#pragma once
// TThreadListController: the thread-list request flow. It fills a board tab's document with the
// board's listing, downloaded by the board type or read from the stored subject.txt, and reports
// what the window shows of it (busy state, progress, status texts, log lines, row counts) by its
// signals. Finding or making the tab, the view and the tab bar are the window's. A board whose list
// is asked for goes to the top of the recent boards. At the end of a listing the window may call
// the site's outside access counter through the flow.
//
// A document keeps the download that fills it (TTavuListDoc::Downloader). A document that lets go
// of its download (Detach) or is freed while it runs gets nothing more of it: what the download
// still reports is dropped, and only the end of the download is still reported (with no document).

#include <QObject>
#include <QString>

class QThread;
class TBBS;
class TBoard;
class TSite;
class TTavuListDoc;
class TThreadItem;
class TTextList;
class TThreadListDownloader;

class TThreadListController : public QObject {
    Q_OBJECT
public:
    explicit TThreadListController(QObject *parent = nullptr);

    // The recent boards (recbrd.txt), when the flow keeps them: "SITEID<tab>board id<tab>target".
    TTextList *RecentBoards = nullptr;

    // Fills the document with the board's listing: downloaded, or the stored list when offline or
    // when only the cache is wanted (the favourites site is always read). The document is the
    // board's tab, made or found by the caller and idle.
    void StartThreadListDownload(TTavuListDoc *doc, TBoard *board, bool reload, bool cacheOnly);
    // Adds the next page of a board type that lists page by page; false when the document cannot
    // take one now (not idle, no board type).
    bool DownloadNextPage(TTavuListDoc *doc);
    // Stops what loads into the document; what its download still reports is dropped.
    void Detach(TTavuListDoc *doc);
    // Calls the site's outside access counter once, on a worker thread (when NINKINET_CHECK is on
    // and the site has one); the cookie it sets is kept in the configuration, written on the GUI
    // thread.
    void StartCounter(const QString &counterId);

    // The board type's three callbacks (and the one per listed thread).
    void OnThreadListItem(TThreadListDownloader *job, TThreadItem *item);
    bool OnThreadListProgress(TThreadListDownloader *job, TThreadItem *item, int maximum, int position);
    void OnThreadListDone(TThreadListDownloader *job, bool failed);
    void OnThreadListError(TThreadListDownloader *job, int code, const QString &message, const QString &detail);

    // The board type lists its threads page by page.
    static bool IsPaged(const TBoard *board);
    // "board name＠site name", the target of the flow's log lines.
    static QString BoardTarget(const TBoard *board);
    // The block page a 2ch server that blocks the reader points to in its 302 answer; empty for
    // any other answer.
    static QString BlockPageUrl(const TBBS *bbs, int code, const QString &detail);

signals:
    // A download begins (the busy state begins) and ends (it ends). On the end, doc is nullptr
    // when the document let go of the download; site is the listed board's site.
    void Started(TTavuListDoc *doc);
    void Ended(TTavuListDoc *doc, TSite *site);
    // The view shows count rows of the document, when it shows the document.
    void RowCountChanged(TTavuListDoc *doc, int count, bool keepScroll);
    void Progress(int maximum, int position);
    void StatusText(const QString &text);
    void NewThreadCount(int count);
    void LogLine(const QString &text);
    // DATOCHIMODE 1: the listing is in; the logged threads that fell off it join it now.
    void FallenThreadsWanted(TTavuListDoc *doc);
    // The server answered with the page it blocks the reader with: the window shows it.
    void BlockPageFound(const QString &url);
    // A worker thread began (a counter call): shutdown waits for it.
    void WorkerStarted(QThread *worker);

private:
    TThreadListDownloader *NewJob(TTavuListDoc *doc, TBoard *board);
    TTavuListDoc *LiveListDoc(const TThreadListDownloader *job) const;
    void FinishThreadList(TTavuListDoc *doc, TThreadListDownloader *job, bool failed);
    void DropRepeatedLast(TTavuListDoc *doc);
    void RememberBoard(const TBoard *board);
    void ReportError(TThreadListDownloader *job, int code, const QString &message, const QString &detail);
};
