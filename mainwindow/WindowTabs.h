#pragma once
// Opening URLs and the threads of the board tabs: procedures of the window's own that work on its
// widgets. The tabs themselves are the tab manager's (mainwindow/TabManager.h), the board tree the
// board pane's (mainwindow/BoardPane.h).
// The rest of the program asks for them through the reading services (the window's OpenWebPage).

#include <QString>

class TThreadItem;
class TVarneloWindow;

namespace WindowTabs {

// ---- opening URLs ----

// A web page opens in a browser tab or in the outside browser, as the settings say; the window's
// OpenThreadUrl recognises the URLs of threads and boards first.

// Opens a web page as URL OPENINVARNELO says: 0 and 2 a new browser tab showing the page, 1 the
// outside browser, anything else nothing.
void OpenUrl(TVarneloWindow &window, const QString &url, const QString &caption, bool activate = true,
             bool fromViewer = false);

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

}  // namespace WindowTabs
