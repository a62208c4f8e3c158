#pragma once
// TPaneLayout: how the main window's panes are arranged. It owns the splitters and panels that
// hold the panes, the tab rows of the thread-list pane and the browser pane (tab buttons and
// command bar), the place of the browser tabs, the thread-information panel beside them and the
// log pane under the body (the log, Memo1, and the trace of requests and replies, Memo3). The window makes what fills a pane (the board pane, the
// thread-list view), hands it over and finds the bars and panes it binds through the accessors.
//
// The arrangement: the board pane | the body above the log pane, the body being the thread-list
// pane above (or beside) the browser pane. The top splitter takes the thread-list pane above all
// of it while the extended thread list is on. The pane sizes and the window's place are kept in
// kpw.ini (section DESKTOP).

#include "controls/WindowServices.h"

#include <QList>
#include <QObject>
#include <QPlainTextEdit>

class QMainWindow;
class QSplitter;
class QTabWidget;
class QToolBar;
class QWidget;
class TActionList;
class TIniFile;
class TPageScroller;
class TTavuSplitter;
class TWindowEvents;

class TPaneLayout : public QObject, public TLayoutServices {
    Q_OBJECT
public:
    // Arranges the board pane and the thread-list view with the panes it makes, as the window's
    // central widget.
    TPaneLayout(QMainWindow &window, QWidget *boardPane, QWidget *threadList);

    // ---- what the window binds ----
    QToolBar *ThreadListTabBar() const { return threadListBar; }
    QToolBar *ThreadListTools() const { return threadListTools; }
    QToolBar *BrowserTabBar() const { return browserBar; }
    QToolBar *BrowserTools() const { return browserTools; }
    // The browser pane: a column of its tab row, what the window puts into it (the title panel)
    // and the browser area, which is the browser tabs with their side panes (the thread
    // information beside them, the image pane under them). The browser tabs fill their view panel.
    QWidget *BrowserPane() const { return browserPanel; }
    QWidget *BrowserArea() const;
    QWidget *BrowserViewPanel() const { return browserViewPanel; }
    QPlainTextEdit *LogPane() const { return memo1; }
    QPlainTextEdit *TracePane() const override { return memo3; }

    // ---- the panes' sizes and the window's place (kpw.ini DESKTOP) ----
    // Also the order of the bands of the top band (COOLBAR1); the panes shown are stored as their
    // commands are checked.
    void LoadSizes(const QList<QToolBar *> &bands, const TIniFile &ini);
    void SaveSizes(const QList<QToolBar *> &bands, const TActionList &actions, TIniFile &ini);

    // ---- arranging: what the units ask of the panes (TLayoutServices says what each does) ----
    void ShowBoardPane(bool shown) override;
    void PutBoardPaneRight(bool right) override;
    int HideBodyPane(TBodyPane pane) override;
    void ShowBodyPane(TBodyPane pane, int size) override;
    bool BodyPaneShown(TBodyPane pane) const override;
    void LayOutBody(bool sideBySide) override;
    void SpanThreadList(bool span) override;
    void ShowLogPane(bool shown) override;
    // The log pane becomes editable: Enter hands the line under the caret to the events
    // (TWindowEvents::EnterLogLine), and a line taken as a command does not reach the pane.
    void SendLogLinesTo(TWindowEvents &events);
    void LayOutTabBar(TBodyPane pane) override;
    void PlaceThreadInfo(QWidget *tabs, QWidget *imagePane, int imagePanePlace) override;
    int ThreadInfoWidth() const override;
    void WatchBrowserTabBar(QObject *filter) override;
    // Each tab bar above or below its pane (THREADTAB and BROWSERTAB POSITION), its command bar
    // beside it (TOOLBARPOS).
    void ApplyTabBarPositions() override;

signals:
    // The board pane opened or collapsed, by a command or a drag of its splitter.
    void BoardPaneToggled(bool open);
    // The user dragged the splitter between the panes of the body.
    void BodySplitterMoved();

private:
    QMainWindow &window;
    QWidget *boardPanel;
    QSplitter *topSplitter = nullptr;
    TTavuSplitter *mainSplitter = nullptr;   // board pane | body
    QSplitter *messageSplitter = nullptr;   // body above, log pane below
    QWidget *bodyPanel = nullptr;
    QSplitter *threadListSplitter = nullptr;   // thread-list pane and browser pane
    QWidget *threadListPanel = nullptr;
    QWidget *threadListTabPanel = nullptr;   // the tab bar and the thread-list command bar
    QToolBar *threadListBar = nullptr;       // the thread-list tab buttons
    TPageScroller *pageScroller2 = nullptr;  // scrolls threadListBar when its tabs do not fit
    QToolBar *threadListTools = nullptr;
    QWidget *browserPanel = nullptr;
    QWidget *browserTabPanel = nullptr;   // the tab bar and the browser command bar
    QToolBar *browserBar = nullptr;       // the browser tab buttons
    QToolBar *browserTools = nullptr;
    QWidget *browserViewPanel = nullptr;
    TTavuSplitter *threadInfoSplitter = nullptr;   // the browser tabs | the thread information
    QWidget *threadInfoPanel = nullptr;
    TTavuSplitter *imagePaneSplitter = nullptr;    // the two above | the image pane under them
    QTabWidget *messagePanel = nullptr;
    QPlainTextEdit *memo1 = nullptr;   // the log pane
    QPlainTextEdit *memo3 = nullptr;   // the trace of requests and replies

    QWidget *CreateThreadListPane(QWidget *threadList);
    QWidget *CreateBrowserPane();
    QWidget *CreateMessagePane();
    QWidget *BodyPane(TBodyPane pane) const;
};
