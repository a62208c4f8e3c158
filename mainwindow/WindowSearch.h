#pragma once
// The search views of the main window: what an extract tab shows (a thread's matching responses in
// a tab of their own, made by TTabManager::NewExtractTab), the board-wide search over the stored
// logs of a board tab, and the one-response preview in the window's second browser. The rest of
// the program asks for them through TWindowServices.

#include "services/ResSearch.h"

class TRes;
class TResList;
class TThreadItem;
class TTavuBrowser;
class TTavuListDoc;
class TVarneloWindow;

namespace WindowSearch {

// Writes the responses of the tab's list into it (header, responses, footer). With a search that
// highlights, the matches in the visible responses are written between FILTERTAG1 and FILTERTAG2;
// the responses keep their bodies.
void WriteExtractView(TVarneloWindow &window, TTavuBrowser *tab, const ResSearch::TResSearch *search);

// Searches the stored logs of the threads of a board tab and opens one thread tab in extract mode
// per thread with a match (the first one activated). Returns how many tabs were opened.
int SearchBoardLogs(TVarneloWindow &window, TTavuListDoc *doc, const ResSearch::TResSearch &search);
// The board-wide search for responses of one ID over the board of the current thread tab; the
// board's tab is opened first when none shows it.
void SearchBoardLogsById(TVarneloWindow &window, const QString &id);

// The second browser of the main window below the browser tabs (the "double window").
void ShowDoubleWindow(TVarneloWindow &window, bool show);
bool DoubleWindowShown(const TVarneloWindow &window);
// Shows one response of the thread alone in the second browser, which opens when hidden.
void ShowResInPreview(TVarneloWindow &window, TThreadItem *item, const TRes &res);
// The same for the responses of the list marked visible (the list is taken over).
void ShowResListInPreview(TVarneloWindow &window, TThreadItem *item, TResList *list);
// Shows the page at the URL in the window's second browser.
void ShowUrlInDoubleWindow(TVarneloWindow &window, const QString &url);

}  // namespace WindowSearch
