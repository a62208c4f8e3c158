#pragma once
// TPostController: the reply and new-thread flows. The composers raise their send event, the
// controller builds the post (TSendData) and its job record and hands it to the board type, and the
// job's callbacks log the outcome, keep the histories and counters and bring the composer back or
// close it. What the window does about it (the busy state, the status text, the log pane, reopening
// the thread, reloading the thread list, the sounds) it is told by the signals.
//
// A post that did not go through (offline, refused, an error page, cancelled) brings its composer
// back with the user's text; the histories and the post log record a post only once it was sent.

#include <QObject>
#include <QString>

class QWidget;
class TBoard;
class TNewThreadDialog;
class TResUploader;
class TSendData;
class TSendDialog;
class TTavuBrowser;
class TTavuListDoc;
class TThreadItem;

class TPostController : public QObject {
    Q_OBJECT
public:
    // How a flow ended: sent, failed (the composer is back), or quietly (a cancelled new thread,
    // the end of a board page fetch).
    enum TOutcome { poSent, poFailed, poQuiet };

    // window: the parent of the composers and dialogs.
    explicit TPostController(QWidget *window);

    // actThreadWrite (quote off) and actThreadWriteRes (quote on): a reply to the tab's thread, with
    // the tab's checked responses quoted.
    void actThreadWriteExecute(TTavuBrowser *tab, bool quote);
    // A reply composer for the tab's thread, not shown yet.
    TSendDialog *ShowSendDialog(TTavuBrowser *tab);
    void StartPost(TSendDialog *composer);
    void OnPostDone(TResUploader *job, bool failed);
    void OnPostError(TResUploader *job, int code, const QString &message, const QString &pageText);
    void OnPostCancel(TResUploader *job, const QString &message);

    // A new thread on the board of the thread-list tab.
    void actThreadListNewThreadExecute(TTavuListDoc *doc);
    void StartNewThread(TSendDialog *composer);
    void OnNewThreadDone(TResUploader *job, bool failed);
    void OnNewThreadError(TResUploader *job, int code, const QString &message, const QString &pageText);
    void OnNewThreadCancel(TResUploader *job, const QString &message);

    // The handle dialog (actToolHandle).
    void actToolHandleExecute();
    // Shows the page a server answered a failed post with (TErrorDialog).
    void ShowErrorPage(const QString &pageText);

signals:
    // A flow begins and ends (the busy state).
    void Started();
    void Ended(TOutcome outcome);
    void StatusText(const QString &text);
    void LogLine(const QString &text);
    // A composer became active: the window's commands are switched off until ActionsReleased.
    void ActionsHeld();
    // A composer gave back the window's commands (it was closed, or its post came back).
    void ActionsReleased();
    // The hover popup hides.
    void PopupHidden();
    // A tab or a thread-list tab changed its download state.
    void BrowserCommandsChanged();
    void ThreadListCommandsChanged();
    // A reply went through: the thread reloads in its tab and joins the post history.
    void ReplySent(TThreadItem *item);
    // A new thread went through: the board's thread list loads again.
    void NewThreadSent(TBoard *board);
    // A page to open in a tab (the information page of the past-log account).
    void PageWanted(const QString &url, const QString &caption);

private:
    QWidget *window;

    void HoldCommandsWhileOpen(TSendDialog *composer);
    void PrefetchBoardPage(TNewThreadDialog *composer, TBoard *board);
    void FillSendData(TSendData &data, TSendDialog *composer, TBoard *board, const QString &key) const;
    bool RefusedOffline(TSendDialog *composer);
    void BeginPostFlow(const QString &startLine, const QString &target);
    void EndPostFlow(TResUploader *job, TOutcome outcome);
    void RestoreReplyTab(TSendDialog *composer);
    void RestoreNewThreadDoc(TResUploader *job);
    void RecordSentPost(TSendDialog *composer);
    void LogError(const QString &line, int code, const QString &message);
    void LogCancel(const QString &line, const QString &message);
};
