#pragma once
// TThreadController: the thread request flow and the rendering of responses into views.
//
// Opening a thread shows it in a browser tab, its stored log first (rendered in the background by a
// cache loader), then the new responses that its download brings, after the stored ones. The page
// begins with the responses where the thread is shown (TTavuBrowser::ShowFirst); the ones before
// them go in front afterwards. The controller finds, makes and shows the thread tabs through the
// tab services; what the window shows of the flow (the busy state, progress, status texts, log
// lines, the caption, tab captions, the command states) it is told by the signals.
//
// A tab keeps the download that fills it (TTavuBrowser::Downloader). A tab closed or given another
// thread while it is still opening lets go of its cache loader and its download (DetachBrowser):
// what they still report is dropped, so nothing is ever written into a tab that is gone or into a
// rendering that was replaced.
//
// Every rendering of responses into a view (a thread tab, a popup, a preview, an export) goes
// through the rendering trio BeginResView, AppendResToView once per response and EndResView, which
// apply the response rules (ngres.txt) on the way.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

class IResultView;
class QThread;
class TBookmarkServices;
class TRes;
class TResCacheLoader;
class TResDownloader;
class TResList;
class TRuleServices;
class TTabServices;
class TTavuBrowser;
class TTextList;
class TThreadItem;
struct TActionHit;

class TThreadController : public QObject {
    Q_OBJECT
public:
    TThreadController(TTabServices &tabs, TRuleServices &rules, TBookmarkServices &bookmarks,
                      QObject *parent = nullptr);

    // The window's hidden browser: what renders there neither logs nor marks rule hits.
    TTavuBrowser *PrivateTab = nullptr;
    // The recent threads (recthrd.txt): an opened thread leads them.
    TTextList *RecentThreads = nullptr;

    // Shows the thread in a browser tab: its stored log first (rendered in the background), then,
    // when item->DownloadRequest is set and the program is online, the new responses. reload asks
    // for the thread without validators and is honoured also when the thread is open already.
    // resNumber: the response to show (0 none); keepTab forbids a new tab; url, when not empty,
    // is fetched instead of the board type's URL.
    void OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber, bool keepTab,
                    const QString &url);
    // Stops what loads into the tab; what its download still reports is dropped, and the thread's
    // validators go back to those of its stored log.
    void DetachBrowser(TTavuBrowser *tab);

    // The rendering trio. The view is rendered from copies of the responses: a rule that replaces
    // text or marks a response in bold changes only what the view shows, never the response list,
    // its log or what other commands copy or quote. BeginResView reads the thread's .inf again
    // (OpenInf: the erased responses, the bookmarks others wrote).
    void BeginResView(IResultView *view, TResList *list);
    void AppendResToView(IResultView *view, TResList *list, TRes *res);
    void EndResView(IResultView *view);
    // The whole list through the trio.
    void RenderResList(IResultView *view, TResList *list);
    // A thread tab rendered again from its responses, keeping the response at the top of its view.
    void RenderResViewAgain(TTavuBrowser *tab);
    // The current thread tab rendered again (after a rule, read point or skin change).
    void RefreshResView();
    // skin.ini changed: every thread tab takes its skin again and is rendered in it.
    void ApplySkinChange();

signals:
    // An opening begins (the busy state begins) and ends (it ends), once each.
    void Started();
    void Ended();
    void LogLine(const QString &text);
    void StatusText(const QString &text);
    void Progress(int maximum, int position);
    void ProgressEnded();
    // The download brought count new responses.
    void NewResCount(int count);
    // A thread opens: the notices of the last one go. A notice rule hit a response in a tab.
    void NoticesCleared();
    void ResNoticed(const QString &text, TThreadItem *item, const TRes *res);
    // The tab's caption follows its thread's title; the tab bar lays out its buttons again.
    void TabCaptionChanged(TTavuBrowser *tab);
    void TabBarChanged();
    // A download into the tab ended: the caption shows its thread. A rendering ended that changed
    // what the caption counts.
    void ThreadDone(TThreadItem *item);
    void CaptionChanged();
    // The thread's rows in the board tabs show its new counts: the other items of the thread take
    // its fields.
    void ThreadItemChanged(TThreadItem *item);
    // The item's rows in the thread list show its new state.
    void ThreadListChanged(TThreadItem *item);
    void BrowserCommandsChanged();
    void ThreadListCommandsChanged();
    // A cache loader started: shutdown waits for it.
    void WorkerStarted(QThread *worker);
    // The server answered with the page it blocks the reader with: the window shows it.
    void BlockPageFound(const QString &url);

private:
    void RenderPage(TTavuBrowser *tab, int top);   // RenderResViewAgain's rendering into the renewed page
    TTabServices &tabs;
    TRuleServices &rules;
    TBookmarkServices &bookmarks;

    // A rendering in progress: the responses the thread's .inf marks as erased.
    struct TRenderState {
        QSet<int> Erased;
    };
    QHash<IResultView *, TRenderState> renderings;

    // opening
    static bool NothingToShowOffline(const TThreadItem *item);
    void ReportOfflineWithoutLog(const TThreadItem *item, const QString &target);
    void AddRecentThread(const TThreadItem *item, const QString &target);
    bool UpdateOpenThread(TTavuBrowser *tab, TThreadItem *item, bool reload, int resNumber, const QString &url,
                          const QSet<int> &erased);
    TTavuBrowser *FindThreadTab(TThreadItem *item);
    TTavuBrowser *ChooseThreadTab(TThreadItem *item, bool newTab, bool keepTab, bool &made);
    void PrepareReusedTab(TTavuBrowser *tab, TThreadItem *item);
    TResDownloader *NewThreadDownload(TTavuBrowser *tab, TThreadItem *item, bool reload, const QString &url);
    void StartCacheLoader(TTavuBrowser *tab, TThreadItem *item, TResDownloader *job, const QSet<int> &erased);
    // BeginResView with the responses the thread's .inf marks erased, as an opening has read them
    // with the rest of the .inf; the file is not read again.
    void BeginResView(IResultView *view, TResList *list, const QSet<int> &erased);
    void OnCacheDone(TResCacheLoader *loader, TResDownloader *job);
    void FinishThreadView(TTavuBrowser *tab, TThreadItem *item);

    // the download's reports
    TTavuBrowser *LiveThreadTab(const TResDownloader *job) const;
    void OnThreadDownloadRes(TResDownloader *job, TRes *res, int maximum, int position);
    void OnThreadDownloadWebPage(TResDownloader *job, const QString &pageUrl);
    void OnThreadDownloadDone(TResDownloader *job, bool failed);
    void OnThreadDownloadError(TResDownloader *job, int code, const QString &message, const QString &detail);
    int ShowDownloadedThread(TTavuBrowser *tab, TResDownloader *job, bool failed);
    void FinishThreadDownload(TTavuBrowser *tab, TResDownloader *job, bool failed, int newCount);
    void ScrollAfterDownload(TTavuBrowser *tab, TThreadItem *item, int newCount);
    void SaveDownloadedLog(TResDownloader *job, TResList *list, TThreadItem *item, int stored);

    // rendering trio
    bool IsRealTab(IResultView *view) const;
    void ActOnHit(IResultView *view, TResList *list, TRes &res, const TActionHit &hit, bool inTab);
    void ReapplyTextRules(TRes &shown, const TThreadItem *item, bool inTab) const;
    bool BookmarkRes(TResList *list, const TRes &res);
};
