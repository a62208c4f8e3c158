#pragma once
// The board tree and the tabs of the main window: procedures of the window's own that work on its
// widgets and lists. The rest of the program asks for them through TWindowServices.
//
// Tabs: a board tab is a thread-list document shown in ThreadListView; a thread tab is a browser
// tab in the browser pane. Each has a check-style button on its tab bar (ThreadListBar,
// BrowserToolBar) followed by a thin separator, and a radio item in its tab menu. The window's
// lists ListDocs and Browsers hold them, the most recently activated first.

#include <QList>
#include <QString>

class QTreeWidget;
class TBoard;
class TResList;
class TTavuBrowser;
class TTavuListDoc;
class TThreadItem;
class TThreadItemList;
class TVarneloWindow;

namespace Kpwfunc {

// ---- opening URLs ----

// Recognising and opening URLs: a thread of a known board opens as a thread tab (with its stored log
// when there is one), a board of a known site as its thread list, anything else as a web page in a
// browser tab or in the outside browser, as the settings say. Used by the command line and the
// second copy's hand-over, the address box, links clicked in threads, the board tree's web-page
// boards and (through TWindowServices) the commands and tool windows.

// Opens the URL: a thread of a known board as a thread tab, a board of a known site as its thread
// list, anything else as a web page (OpenUrl). fromViewer: the preview browser asks the main window
// to open the URL inside the program.
void OpenThreadUrl(TVarneloWindow &window, const QString &url, bool fromViewer = false);

// Opens a web page as URL OPENINVARNELO says: 0 and 2 a new browser tab showing the page, 1 the
// outside browser, anything else nothing.
void OpenUrl(TVarneloWindow &window, const QString &url, const QString &caption, bool activate = true,
             bool fromViewer = false);

// ---- board tree ----

// The selected node changed: a web-page board opens as a page, another board's thread list opens,
// a site node without children gets its boards.
void BoardTreeChange(TVarneloWindow &window, QTreeWidget *tree);
// Shows the board in the main window's board tree (making its site the current one first).
void SelectBoardInTree(TVarneloWindow &window, const TBoard *board);
// A board opened from a shortcut bar or the visited-boards button: shown in the board tree only
// while the option "板選択時にボード一覧の該当板を選択状態にする" (JUMPSHORTCUT) is on.
void JumpToBoardInTree(TVarneloWindow &window, const TBoard *board);

// ---- threads of the board tabs ----

// Opens the thread of the selected row of the current board tab (in a new tab when asked).
void OpenSelectedThread(TVarneloWindow &window, bool newTab = false);
// After a thread item changed: every other item of the same thread in the board tabs takes its
// fields (the count its listing reported stays), and the rows of the thread that the current board
// tab shows are painted again.
void RefreshThreadListItem(TVarneloWindow &window, TThreadItem *item);
// Repaints the rows on screen of the current board tab that show the item's thread (the item or
// another item of it). A row off the screen is drawn as it is when it is scrolled to.
void RepaintThreadListRows(TVarneloWindow &window, const TThreadItem *item);

// ---- tabs ----

// A new board tab for the board (nullptr: a list of no board) holding items (taken over; a new
// list when nullptr), with the document mode, activated or appended behind the others.
void NewListDoc(TVarneloWindow &window, TTavuListDoc *&doc, TThreadItemList *items, int mode, bool activate, const QString &caption,
                TBoard *board);
// A new thread tab, for the thread (one reference taken) or, without one, as a web page. The tab
// owns resList.
void NewBrowser(TVarneloWindow &window, TTavuBrowser *&browser, TResList *resList, TThreadItem *item, bool activate, const QString &caption);

// The board tab showing the board (same site and board id).
bool FindBoardTab(TVarneloWindow &window, const TBoard *board, TTavuListDoc *&doc);
// The index of a board tab's button among the buttons of ThreadListBar; -1 when none.
int IndexOfBoardTab(TVarneloWindow &window, const TTavuListDoc *doc);
// The index of the pressed button of BrowserToolBar that has a tab; -1 when none.
int IndexOfActiveBrowserButton(TVarneloWindow &window);
// The browser tabs in the order of their buttons on BrowserToolBar.
QList<TTavuBrowser *> BrowserTabOrder(TVarneloWindow &window);
// The thread-list tabs in the order of their buttons on ThreadListBar.
QList<TTavuListDoc *> ListDocTabOrder(TVarneloWindow &window);

// Closing a tab stops what it loads; what arrives for it afterwards is dropped.
void CloseListDoc(TVarneloWindow &window, TTavuListDoc *doc, bool redraw = true);
void CloseActiveListDoc(TVarneloWindow &window, bool redraw = true);
void CloseBrowser(TVarneloWindow &window, TTavuBrowser *browser, bool redraw = true);
void CloseActiveBrowser(TVarneloWindow &window, bool redraw = true);
// Closes the board's thread-list tab and the browser tabs of its threads.
void CloseBoardTabs(TVarneloWindow &window, const TBoard *board);

// The tab's caption from its thread's title (shortened to TITLELEN with SHORTTITLE on, the full
// title then in the hint).
void SetBrowserTabCaption(TVarneloWindow &window, TTavuBrowser *browser);
// Every tab button shows its close mark or not, as THREADLIST_SHOWCLOSEBTN and BROWSER_SHOWCLOSEBTN say.
void ShowTabCloseMarks(TVarneloWindow &window);
// The thread-list tab's button from its board's name (a board's tab), else its caption (shortened to BOARDTITLELEN
// with BOARDSHORTTITLE on, the full name then in the hint).
void SetListDocCaption(TVarneloWindow &window, TTavuListDoc *doc);
// Every tab's button follows the title settings at once.
void RefreshTabCaptions(TVarneloWindow &window);

}  // namespace Kpwfunc
