#pragma once
// TTavuBrowser: a browser tab. It shows either a thread (its responses rendered through the skin of
// its board) or a web page, in a TEmbeddedWB that fills the tab; the tab fills its parent.
//
// As a result view it takes the responses that the thread flow's rendering trio hands it: each
// response is written through the tab's response writer and appended to the live page. The page
// reports the response at the top of the view and the ticked check boxes as they change, so
// GetTopResNumber and GetCheckedResList never wait for the page.
//
// The tab holds one reference to its thread item and owns its response list. The tab button and
// the menu item that stand for it belong to the main window.

#include "core/Res.h"
#include "render/ResultView.h"
#include "render/SkinSettings.h"

#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QIcon;
class QLabel;
class QPixmap;
class TBoard;
class TEmbeddedWB;
class TResCacheLoader;
class TResDownloader;
class TTavuResWriter;
class TThreadItem;

class TTavuBrowser : public QWidget, public IResultView {
    Q_OBJECT
public:
    // The download states of a tab.
    enum TDownloadState { dsIdle = 0, dsDownloading = 1, dsOpening = 2 };
    // What the tab's glyph shows.
    enum TTabImage { tiThread, tiNewRes, tiDownloading, tiOpening, tiWebPage, tiLocked };

    explicit TTavuBrowser(QWidget *parent = nullptr);
    ~TTavuBrowser() override;

    TEmbeddedWB *Browser() const { return browser; }

    // The thread shown: the tab holds one reference to the item and owns the response list.
    TThreadItem *ThreadItem() const { return item; }
    void SetThreadItem(TThreadItem *newItem);
    TResList *ResList() const { return resList.get(); }
    void SetResList(TResList *list);
    // Tells the lists the tab held apart: every list given (or taken away) gets a new serial, so a
    // list made where a freed one was is never taken for it.
    quint64 ResListSerial() const { return resListSerial; }
    TBoard *GetBoard() const;

    QString BoardID;
    QString URL;
    QString StatusText;
    QString Title;
    bool Locked = false;
    bool Busy = false;
    int DownloadState = dsIdle;
    int ResNumber = 0;           // the response to show once rendered (0: none)
    int DownloadCount = 0;       // responses appended by downloads
    bool Closing = false;
    int ClickedResNumber = 0;    // set by the navigation filter for the response menus
    QString ClickedID;
    QString ClickedBe;
    QString SearchText;          // extract mode: the text searched for and its hits
    int SearchCount = 0;
    TSkinSettings Skin;
    QAbstractButton *TabButton = nullptr;
    QAction *TabMenuItem = nullptr;
    TResDownloader *Downloader = nullptr;   // the download running for the tab, set by its starter
    // URL opening: the tab was opened as a plain page for the preview browser.
    bool FromViewer = false;

    IResultView *View() { return this; }

    // A tab made in advance lies aside: shown, so that its page is loaded and drawn at the size of
    // the view, but out of sight beside it, until it is taken for a thread. Its page lays out a
    // sample thread in the tab's skin once, and is ready when it is empty again.
    void KeepAside(bool aside);
    bool IsKeptAside() const { return keptAside; }
    bool IsReady() const;   // kept aside with its page loaded and warmed up

    // Makes the tab current: presses its button, checks its menu item, restores its status text
    // and tells the main window (Activated) to refresh the caption and the thread's comment lines.
    void Activate();
    void DoSelect();
    // Stops what the tab is loading: the stored log, the download job, a web page.
    void CancelDownload();
    void UpdateTabImage();
    static void SetTabImages(std::function<QIcon(TTabImage)> images);
    // The tab leaves its thread for the web page it is navigating to.
    void MarkNavigated();
    // Ends the thread shown: stops loading, stores the response at the top of the view in the
    // thread's .inf (when its log exists), releases the thread and its responses.
    void CloseThread();

    bool IsFirstRead() const { return firstRead; }
    void SetFirstRead(bool on) { firstRead = on; }
    bool IsWebPage() const { return webPage; }
    void SetWebPage(bool on);
    bool IsExtractMode() const { return extractMode; }
    void SetExtractMode(bool on);

    // Skin settings from skin.ini: the board's section (falling back to its site's and to
    // "default"), or the section of a view such as "senddialog_preview" (falling back to
    // "default"). Either drops the compiled writer; the next rendering compiles the new skin.
    void SelectSkin(const TBoard *board);
    void ReadSkinSettings(const QString &view);
    void CreateResWriter();

    // Writing the page.
    void WriteHeader();
    void AppendRes(TRes *res) override;   // also the result view's append
    void AppendHtml(const QString &html);
    void WriteHtml();                     // writes the footer and closes the document
    // The thread's closed page takes more responses, before its footer (which the next WriteHtml
    // replaces); false when the page no longer is the thread's document.
    bool ReopenDocument();
    // A hidden thread tab gives up its page (see TEmbeddedWB::Discard): it keeps its responses,
    // their marks and the response that was at the top of its view (GetTopResNumber), from which the
    // main window renders it again when it comes back; a new document ends the state. Only an idle
    // thread tab without an extract gives up its page: a tab still loading gives it up once its page
    // holds everything, unless it is activated first.
    void GiveUpPage();
    bool PageGivenUp() const { return pageGivenUp; }
    // A tab shows its thread whole or not at all. Before it is hidden it keeps a picture of its view
    // (KeepLastFrame, stored compressed); a tab whose page was given up shows that picture when it
    // comes back, and a new tab the picture of what was shown where it opens (CoverWith), until its
    // page holds its responses (or nothing more is coming), scrolled where it goes, and has drawn
    // them on screen (TEmbeddedWB::ReportPaint). Then the cover goes and Uncovered comes.
    void KeepLastFrame();
    void CoverWith(const QPixmap &picture);
    bool IsCovered() const;
    // The page was sent its first screen: the responses it is drawn with before it takes the rest.
    bool FirstScreenWritten() const;
    // Runs `then` once the cover is on the screen (in the turn after it was drawn, or after a short
    // wait when it is not drawn), at once when the tab shows none: work that holds the GUI thread
    // comes after the picture the reader waits for.
    void WhenCoverShown(std::function<void()> then);
    // The responses marked new on the page lose their mark there and in the response list, as a
    // rendering of the thread anew would show them (before the page takes newer ones), at a cost
    // that does not grow with their number (TEmbeddedWB::TakeOffMarks). The page takes that with
    // the next write (the new responses, or the footer), in the same call, so that it is laid out
    // once (the responses away from the view change in the frames that follow); a cancelled
    // download sends it alone.
    void ClearNewMarks();
    // The frames the page draws for a while from now on reach the screen as soon as the view takes
    // them in, without the few milliseconds the view waits to gather them (PromptFrames): a change
    // the reader waits for, such as the responses an update brought.
    void ShowFramesPromptly();
    void ClearDocument();
    // ClearDocument for a rendering that follows: the page keeps showing what it showed until that
    // rendering writes (TEmbeddedWB::Renew).
    void RenewDocument();
    void Navigate(const QString &url);    // a web page or a file path

    // The next rendering puts the response `number` (above 1) and the ones after it, a screenful,
    // into the page first, with the screenful before it, so that its first frame shows them at the
    // view's top; the responses before those wait and then go in front of them, in order, into the
    // room kept for them, while nothing the view shows moves. The finished page is the same as one
    // rendered in order. A new document ends it.
    void ShowFirst(int number);
    // What still waits for the first screen goes into the page (WriteHtml does it too).
    void EndFirstScreen();
    // The thread is to hold `count` responses once what is rendering now (a download) ends: a new
    // page's first screen keeps room below it for those still to come (TEmbeddedWB::BackRoom), so
    // that the page has its height, and the view its scroll bar, from its first frame on.
    void ExpectResponses(int count) { expectedCount = count; }
    static constexpr int FirstScreenSize = 40;   // responses; more than a screen shows

    // Collects what the rendering writes instead of sending it to the page; EndChunk returns it.
    void BeginChunk();
    QString EndChunk();

    // Reading the page.
    void ScrollToRes(int number);
    int GetTopResNumber() const;
    QList<TRes *> GetCheckedResList() const;
    QString GetSelectedText() const;
    static int GetLinkNumber(const QString &url);   // the number of a "tavu://res/?no=" link, else 0
    void DocumentHtml(std::function<void(const QString &)> done) const;

    void SetTextZoom(int level);
    int TextZoom() const;

    // The cache loader rendering into the tab (set by the loader itself; null once it is gone).
    void SetCacheLoader(TResCacheLoader *loader);
    TResCacheLoader *CacheLoader() const;

    // The result view.
    void BeginView(TResList *list) override;
    void HideRes(TRes *res, const TTavuAction *rule) override;
    bool TakesRes(const TRes *res) const override;
    bool EndView() override;

signals:
    void StatusTextChange(const QString &text);
    void TitleChange(const QString &title);
    void ContextMenu(const QPoint &globalPos, bool &handled);
    // A right click that no handler of ContextMenu claimed (no link or selection of theirs).
    void PlainContextMenu(const QPoint &globalPos);
    void Progress(int progress, int maximum);
    void Select(TTavuBrowser *tab);
    void Activated(TTavuBrowser *tab);
    void Uncovered(TTavuBrowser *tab);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TEmbeddedWB *browser;
    QLabel *cover;
    bool coveredByLastFrame = false;   // the cover is the tab's own last frame (it came back)
    bool keptAside = false;
    void PlaceInParent();
    QByteArray lastFrame;   // PNG
    std::function<void()> afterCover;   // WhenCoverShown
    void RunAfterCover();
    TThreadItem *item = nullptr;
    std::unique_ptr<TResList> resList;
    quint64 resListSerial = 0;
    std::unique_ptr<TTavuResWriter> writer;
    QPointer<TResCacheLoader> cacheLoader;
    QSet<int> checkedNumbers;
    bool marked = false;   // the page holds responses written with their new mark
    std::optional<QString> chunk;   // the chunk being collected
    bool webPage = false;
    bool extractMode = false;
    bool firstRead = false;
    bool changed = false;
    bool headerPending = false;   // the header waits for the thread's title (WriteHeader)
    bool pageGivenUp = false;
    bool giveUpWanted = false;
    int screenCount = 0;          // responses written into the new page so far (HoldRest)
    int expectedCount = 0;        // ExpectResponses
    bool holdAfterChunk = false;
    // The rendering that shows a later response first (ShowFirst).
    struct TFirstScreen {
        int From = 0;
        bool Sent = false;    // the screen is in the page; later responses are written as usual
        QList<TRes> Before;   // responses numbered below From, waiting to go in front
        QList<TRes> Screen;
    };
    std::optional<TFirstScreen> firstScreen;
    static constexpr qsizetype ResPart = 100;   // responses that go to the page in a call of their own
    // Responses written while the page is not to take them yet (TEmbeddedWB::WriteWhenDue), until
    // their HTML is made.
    std::shared_ptr<QList<TRes>> dueRun;

    TTavuResWriter &Writer();
    void Emit(const QString &html);
    void WriteRes(const TRes &res);
    void WriteNow(const QString &html);
    void HoldRes(const TRes &res);
    void HoldRest(int lastWritten);
    void SendFirstScreen(bool whole);
    QString Footer();
    void WriteFooter();
    QString InlineRes(const TRes &res);
    void ForgetDocument();
    void SendFront(qsizetype count);
    QString InlineRun(const QList<TRes> &responses);
    void ApplySkin(const TSkinSettings &skin);
    void EmitHeader();
    TTabImage CurrentTabImage() const;
    void OnDocumentComplete();
    void TryGivingUpPage();
    void OnDocumentUpdated();
    void AskToBeDrawn();
    void UncoverWhenShown();
    void LookForFrame();
    void LookAtView();
    void Uncover();
    static constexpr int LongestViewWaitMs = 100;
    static constexpr int PromptFramesMs = 150;
    QTimer viewWaitLimit;   // UncoverWhenShown waits for the view to show the page
    QTimer framePoll;       // meanwhile, it looks for a frame the view holds back (LookForFrame)...
    QDeadlineTimer framesPromptUntil;   // ...and so it does until then (ShowFramesPromptly)
};
