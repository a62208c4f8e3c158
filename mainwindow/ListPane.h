#pragma once
// TListPane: the thread-list pane of the main window. It owns the thread-list view
// (ThreadListView, a virtual list view), which shows the rows of one board tab's document
// (TTavuListDoc) at a time, and the thread-list flow (TThreadListController, flows/), which fills
// the board tabs. It binds the view to the tab shown, draws the rows through TThreadListRowPainter
// with the thirteen row marks (resource/marks.png), starts a board's download in its tab and ends
// it (the tab's caption, the site's counter, the sound), and makes the tabs of threads from other
// sources.
//
// A tab that is closed or refilled while its download runs lets go of it (the flow's Detach): what
// the download still reports is dropped, so nothing is ever written into a tab that is gone.
//
// It answers the thread-list services (TThreadListServices) itself, opens the thread of the row
// chosen, and refreshes the rows of a thread that changed. It reaches the window through
// the services it is given and the tab manager it is bound to
// (BindTabs). What only the window does it tells by its signals: a notice-rule hit,
// the end of the flow's progress; the window connects the rest of the flow's reports (Flow()) to its
// status bar and worker list. The window places the view among its panes (mainwindow/PaneLayout.h).

#include "controls/WindowServices.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <functional>

class QWidget;
class TSite;
class TTabManager;
class TTavuListDoc;
class TThreadListController;
class TWindowLists;
class TqorExtListView;

class TListPane : public QObject, public TThreadListServices {
    Q_OBJECT
public:
    // windowClosed tells whether the window's close steps have run (no site counter starts then).
    TListPane(TWindowFrameServices &frame, TReadingServices &reading, TBoardServices &boards,
              TThreadViewServices &views, TRuleServices &rules, TWindowLists &lists, std::function<bool()> windowClosed,
              QWidget *parent);

    // Binds the pane to the tabs: a board tab made is bound to the view, one closing lets go of it.
    void BindTabs(TTabManager &tabs);

    TqorExtListView *View() const { return ThreadListView; }
    // The thread-list flow (flows/ThreadListController.h).
    TThreadListController &Flow() const { return *flow; }
    // The thirteen marks the rows draw, in their order.
    const QList<QPixmap> &RowMarks() const { return rowMarks; }

    // Shows the board's thread list in its board tab (made when missing): downloaded, or the
    // stored list when offline or when only the cache is wanted.
    void StartThreadListDownload(TBoard *board, bool reload, bool cacheOnly);
    // The document the view shows, and binding the view to another one (switchPane: a tab was
    // pressed, which may switch the visible pane).
    TTavuListDoc *ShownListDoc() const override { return shownListDoc; }
    void ShowListDoc(TTavuListDoc *doc, bool switchPane);
    // The view shows that many rows of the shown document, scrolled to the top unless keepScroll.
    void SetThreadListRowCount(int count, bool keepScroll) override;
    // The same when the document is the one shown; another document's rows wait until it is shown.
    void ShowRowCountOf(TTavuListDoc *doc, int count, bool keepScroll);
    // A new, activated tab of threads from another source (items taken over), all shown.
    TTavuListDoc *NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board) override;

    // ---- the rows of a thread ----
    // Opens the thread of the selected row of the current board tab (in a new tab when asked).
    void OpenSelectedThread(bool newTab = false);
    // After a thread item changed: every other item of the same thread in the board tabs takes its
    // fields (the count its listing reported stays), and the rows of the thread that the current board
    // tab shows are painted again.
    void RefreshThreadListItem(TThreadItem *item);
    // Repaints the rows on screen of the current board tab that show the item's thread (the item or
    // another item of it). A row off the screen is drawn as it is when it is scrolled to.
    void RepaintThreadListRows(const TThreadItem *item);

    // ---- the rest of the thread-list services (controls/WindowServices.h) ----
    void ShowListDoc(TTavuListDoc *doc) override { ShowListDoc(doc, false); }
    QList<TThreadItem *> SelectedThreads() const override;
    bool SelectThreadRow(TThreadItem *item) override;
    void RepaintThreadList() override;
    void ThreadListChanged(TTavuListDoc *doc) override;
    void SelectedThreadsLeft(TTavuListDoc *doc) override;
    int ThreadListRowCount() const override;
    void DownloadNextPage(TTavuListDoc *doc) override;
    QStringList ThreadListColumns() const override;
    TThreadItem *FocusedThread() const override;
    void ReloadThreadListColumns() override;

signals:
    // A thread-list rule of notice matched a thread of a tab.
    void ThreadNoticed(const QString &text, TThreadItem *item);
    // A download ended: the progress bar shows nothing.
    void ProgressEnded();

private:
    TWindowFrameServices &frame;
    TReadingServices &reading;
    TBoardServices &boards;
    TThreadViewServices &views;
    TRuleServices &rules;
    TWindowLists &lists;
    std::function<bool()> windowClosed;
    TTabManager *tabs = nullptr;
    TqorExtListView *ThreadListView = nullptr;
    TThreadListController *flow = nullptr;
    QList<QPixmap> rowMarks;
    TTavuListDoc *shownListDoc = nullptr;

    void LoadRowMarks();
    void BindView();
    void BindFlow();
    // Binds the board tab the tab manager made: its rules, notices and view.
    void BindListDoc(TTavuListDoc *doc);
    void ListDocClosing(TTavuListDoc *doc);
    void ThreadListEnded(TTavuListDoc *doc, TSite *site);
    void ThreadListViewOpen(bool doubleClick);
};
