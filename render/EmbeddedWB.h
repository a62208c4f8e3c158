#pragma once
// TEmbeddedWB: the web-browser control of the thread tabs and the preview windows, on QWebEngineView.
//
// Two kinds of content:
// - pages navigated to (Navigate): web pages, files, "about:blank";
// - a document the program writes (Clear, Write, Close). The first write that holds a "<body" tag
//   is the document's head. The control keeps a page of its own for its documents (the shell, an
//   empty local page loaded once, and again only after a web page, a page given up, or for another
//   document type): the head takes the
//   place of what that page shows, by script and without a load, in the same call as the writes
//   that follow it. Every later write is appended to the live page at the place where the head left
//   off (inside an element the head left open, such as a "<dl>"). Writes are queued and sent to the
//   page in batches, so appending a thousand responses costs a handful of round trips, and the page
//   can grow without any size limit. As with a browser's document, a write after Close starts a new
//   document, and so does a write after a navigation. What was appended lives in the page alone: a
//   written page is never reloaded or gone back to.
//
// Safety: no script of a page ever runs. JavaScript is switched off for the page's own world; the
// control's helper script runs in a separate world (QWebEngineScript::ApplicationWorld), which shares
// the DOM with the page but which the page cannot reach. Written HTML is parsed inert and any
// <script> element in it is dropped before it enters the page. Web pages shown in the control run
// without their scripts too.
//
// Internal links ("tavu://res/?no=12") never leave the page: they raise BeforeNavigate and are then
// refused whatever the handler says; the "tavu" scheme itself answers every request with an empty page.
//
// The helper script reports the response anchors ("ID12") of the page: the number of the response
// at the top of the view whenever the view scrolls or grows (TopResChanged), and each change of a
// response's check box (ResCheckChanged), so that readers never wait for a script round trip.

#include <QList>
#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <functional>
#include <memory>
#include <optional>

class QContextMenuEvent;
class QVariant;
class QWebEngineNewWindowRequest;

class TEmbeddedWB : public QWebEngineView {
    Q_OBJECT
public:
    // Written HTML on its way to the page.
    struct TSegment {
        QString Html;
        bool Front = false;   // goes in front of what was appended (Prepend)
        std::function<QString()> Make;   // makes Html when the segment goes (WriteWhenDue)
    };

    explicit TEmbeddedWB(QWidget *parent = nullptr);
    ~TEmbeddedWB() override;

    // Registers the program's "tavu" URL scheme and has the window composite pages in software.
    // Call once, before the application object exists.
    static void PrepareEngine();
    static QString InternalScheme() { return QStringLiteral("tavu"); }

    // Navigation. A path without a scheme is taken as a local file.
    void Navigate(const QString &url);
    void Stop();
    void ActivateDocument();   // gives the page the keyboard focus

    // The written document.
    bool HasDocument() const;          // false until a page has loaded or a write has begun
    // Loads the page that takes written documents now, ahead of the first one (it loads with the
    // first document otherwise); a control kept ready for a tab does so.
    void PrepareShell();
    bool ShellReady() const { return shellLive; }
    // A control kept ready for a tab has its page lay out and draw `sampleHtml` (a document of the
    // kind it will take) once, when the shell is in, and then show the empty page again: the first
    // document it takes reaches the screen without the renderer's first-time costs (its fonts, its
    // styles, the helper's code). The sample waits until the control is shown; a document written
    // before it is drawn goes in as usual and stays.
    void WarmUp(const QString &sampleHtml);
    bool IsWarmingUp() const { return warming; }
    int WarmedHeight() const { return warmedHeight; }   // how high the sample was laid out; 0 before
    void Clear();                      // starts a new, empty document (and loads the shell if need be)
    // Starts a new document that takes the page's place with its first write: until then the page
    // keeps showing what it showed, so that the empty page is never painted in between.
    void Renew();
    void Write(const QString &html);
    // A response in a box of its own, which the page lays out only once it comes near the view
    // (until then the box takes the height it had when last laid out, or an estimate): a page of
    // thousands of responses lays out a screenful of them. The box begins with the response's
    // anchor, so that the page holds a box alone for each response.
    static QString Boxed(const QString &anchor, const QString &html);
    // A response with its mark (a new one), in its box, and the plain form it takes once
    // TakeOffMarks comes; the page keeps the plain form parsed, out of the document.
    static QString Marked(const QString &anchor, const QString &marked, const QString &plain);
    // Every marked response of the page takes its plain form inside its box, at the cost of a move
    // each: nothing is rendered, sent or parsed again, and a box away from the view is laid out
    // only once it comes near it. It waits for the next write and goes to the page with it, in the
    // same call, before what that write brings, so that the page is laid out once for both (the
    // responses that lose their new mark as newer ones come); SendWrites sends it without one. In
    // that call only the boxes near the view change, so that it costs the same whatever the number
    // of marks: the others change in the frames that follow, a part a frame, each one before it
    // comes into the view (a page off the screen changes them all at once).
    void TakeOffMarks();
    void SendWrites();
    // What is written from now on waits until the page has drawn what was written before (the first
    // screen of a page): the reader sees that before the page takes the rest. Painted comes with
    // that frame. Nothing waits in a hidden control.
    void HoldWritesUntilPainted();
    // Written in front of everything appended so far, in the order of these calls: where a write
    // left FrontMark(), else where appended HTML goes. A page that begins with later responses
    // takes the earlier ones so; the view keeps showing what it showed, where it showed it (a view
    // still at the page's top comes to the first response after the mark).
    void Prepend(const QString &html);
    // As Write (or, in front, Prepend), but while a first screen is being drawn (or what waits for
    // it is still on its way) the HTML is made only when the page is about to take it, in a call of
    // its own: a long run of responses is made a part between frames, not all in the turns that
    // bring it while the first screen is on its way to the window.
    void WriteWhenDue(std::function<QString()> make, bool front);
    static QString FrontMark();
    // Written right after FrontMark(): the room that the next `responses` prepended responses take,
    // as high as their boxes away from the view, so that the page keeps its height and what follows
    // stays in place while they come in.
    static QString FrontRoom(int responses);
    // Written with appended HTML: the room that the next `responses` appended responses take, below
    // everything appended, as high as their boxes away from the view. It shrinks as they come and
    // goes with the next tail (which follows everything written), so that the page keeps its
    // height while the rest of a thread comes in.
    static QString BackRoom(int responses);
    // What follows everything written: the tail replaces the one before it, and later writes go
    // before it (the footer of a thread that still grows).
    void WriteTail(const QString &html);
    void Close();                      // the document is complete; the next write starts a new one
    // The closed document takes writes again, in place (new responses of the thread it shows);
    // false when the page no longer is the written document.
    bool Reopen();
    void SetBaseUrl(const QUrl &url);  // where relative links of written documents point (a skin folder)
    bool IsBusy() const;               // loading, or written HTML not yet in the page
    // A hidden control gives up its page: the engine frees the document and what it keeps for it
    // (the page's lifecycle state Discarded), and the next write starts a new document. False, with
    // nothing changed, while the control is shown or busy.
    bool Discard();
    bool IsDiscarded() const;
    QString LocationUrl() const;       // "about:blank" for a written document

    // Scrolls the named anchor to the top of the view once everything written so far is shown.
    void ScrollToAnchor(const QString &name);
    int TopResNumber() const { return topResNumber; }
    // Painted comes once everything written so far is in the page, after the scroll asked for, and
    // the page has drawn it on screen; at once for a hidden control or without a written document.
    void ReportPaint();
    // Scrolls the page by one step up or down.
    void ScrollStep(bool up);

    // Text zoom, 0 (smallest) to 4 (largest); 2 is the normal size.
    void SetTextZoom(int level);
    int TextZoom() const { return textZoom; }

    void Find(const QString &text, bool backward = false);   // result: FindFinished
    void ViewSource();                                      // a window with the page's HTML

    // Asynchronous reads of the page; the callback runs on the GUI thread, unless the control is
    // destroyed first.
    void ActiveElementHtml(std::function<void(const QString &)> done);
    void ElementTextAt(const QPoint &pos, std::function<void(const QString &)> done);
    void DocumentHtml(std::function<void(const QString &)> done);

signals:
    void TitleChange(const QString &title);
    void StatusTextChange(const QString &text);
    // A navigation of the page; a handler sets cancel to keep the page where it is.
    void BeforeNavigate(const QUrl &url, bool &cancel);
    // A link asked for a new window. A handler either sets cancel or gives a control to open it in;
    // with neither, nothing opens.
    void NewWindow(const QUrl &url, TEmbeddedWB *&target, bool &cancel);
    void ProgressChange(int progress, int maximum);
    void DocumentComplete(const QUrl &url);
    void DownloadComplete();
    // The context menu was asked for; a handler that shows its own menu sets handled. Without one,
    // no menu shows (never the engine's own).
    void ContextMenu(const QPoint &globalPos, bool &handled);
    void FindFinished(int matchCount);
    void TopResChanged(int number);
    void ResCheckChanged(int number, bool checked);
    void DocumentUpdated();   // everything written so far is in the page
    void Painted();           // see ReportPaint
    // Written HTML on its way into the page, in the order the page takes it: the head, then each
    // appended or prepended (front) piece.
    void Inserting(const QString &html, bool front);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    class TPage;
    friend class TPage;

    enum class TDocState { None, Foreign, Loading, Ready };

    // Called by the page.
    bool FilterNavigation(const QUrl &url, bool typed, bool isMainFrame);
    void LeaveWrittenDocument();
    void OpenNewWindow(QWebEngineNewWindowRequest &request);
    void ScriptMessage(const QString &message);

    void StartDocument();
    void NewGeneration(TDocState newState);
    void LoadHead(const QString &head);
    void LoadShell(const QString &docType);
    static QUrl ShellBase();
    void OpenForAppend();
    void Queue(const QString &html, bool front);
    void ReleaseHold();
    bool HasWrites() const;
    void ScheduleFlush();
    void Flush();
    void EndHead();
    void SendPending();
    QString WriteScript();
    void AppendDone(int forGeneration, bool applied);
    void Attach();
    void WarmUpWhenDrawn();
    QString BaseHref() const;
    void AttachFailed(int forLoad);
    void RunWhenWritten(const QString &script);
    void RunScript(const QString &script, std::function<void(const QVariant &)> done = {});
    void OnLoadStarted();
    void OnLoadFinished(bool ok);
    void OnTitleChanged(const QString &title);
    void EnsureSchemeHandler();

    TPage *webPage = nullptr;
    std::shared_ptr<bool> aliveToken = std::make_shared<bool>(true);
    TDocState state = TDocState::None;
    int generation = 0;          // identifies the written document; a new one invalidates the old
    bool fresh = false;          // the document still waits for its head
    bool closed = false;         // Close was called: the next write starts a new document
    bool flushQueued = false;
    bool appendRunning = false;
    bool pageLoading = false;
    bool internalLoad = false;   // the load in progress is the shell
    bool shellLoading = false;   // the shell is loading, or the helper not yet bound to it
    bool shellLive = false;      // the page is the shell (or a document it took): it takes documents by script
    int shellLoad = 0;           // identifies the last load of the shell
    QString shellDocType;        // the document type it was loaded with
    QString shellHtml;           // what it was loaded with, to load it again
    int attachTries = 0;         // failed attaches to the shell so far
    std::optional<QString> warmSample;   // WarmUp waits for the shell and for the control to be shown
    bool warming = false;        // the page lays out the sample
    int warmedHeight = 0;
    QString head;                // writes of a fresh document, until a "<body" tag shows up
    std::optional<QString> headToBegin;   // the head of a new document, to go in with the next write
    QList<TSegment> pending;     // HTML waiting to be appended
    bool holding = false;        // HoldWritesUntilPainted: later writes wait in `later`
    bool holdPaintAsked = false;
    QList<TSegment> later;       // writes after a first screen, sent a part a call once it is drawn
    bool marksOff = false;       // TakeOffMarks waits for the next write
    std::optional<QString> tail; // a new tail waiting to be sent
    QString afterWrite;          // a script to run once the queue is empty (a scroll)
    bool paintWanted = false;    // ReportPaint waits for the queue to empty
    QUrl baseUrl;
    int topResNumber = 0;
    int textZoom = 2;
};
