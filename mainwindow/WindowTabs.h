#pragma once
// Opening URLs, the board tree and the threads of the board tabs: procedures of the window's own
// that work on its widgets. The tabs themselves are the tab manager's (mainwindow/TabManager.h).
// The rest of the program asks for them through TWindowServices.

#include <QString>

class QTreeWidget;
class TBoard;
class TThreadItem;
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

}  // namespace Kpwfunc
