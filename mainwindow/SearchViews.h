#pragma once
// TSearchViews: the search views of the main window. An extract tab shows a thread's matching
// responses in a thread tab of its own (made by TTabManager::NewExtractTab): the filtered view of
// the current thread tab, and the board-wide search over the stored logs of a board tab, one tab
// per thread with a match. The second browser ("double window") lies below the browser tabs and
// shows one response, the responses of a list or a page; it borrows the window's private browser,
// which goes back to its hidden place when the second browser closes.
//
// It is what the units ask of the search views (TSearchViewServices, controls/WindowServices.h).
// The window makes it once the thread flow, whose rendering trio writes the views, is built.

#include "controls/WindowServices.h"

class TPaneLayout;
class TTabManager;
class TThreadController;

class TSearchViews : public TSearchViewServices {
public:
    // privateBrowser: the window's private browser, kept in privatePlace while the second browser
    // is hidden.
    TSearchViews(TWindowFrameServices &frame, TThreadViewServices &views, TTabManager &tabs, TPaneLayout &panes,
                 TThreadController &threads, TTavuBrowser *privateBrowser, QWidget *privatePlace);

    TTavuBrowser *FilterResView(const ResSearch::TResSearch &search) override;
    void ShowExtractTab(TThreadItem *item, TResList *list, const QString &url) override;
    void SearchBoardLogs(TTavuListDoc *doc, const ResSearch::TResSearch &search) override;

    void ShowDoubleWindow(bool show) override;
    bool DoubleWindowShown() const override;
    void ShowResInPreview(TThreadItem *item, const TRes &res) override;
    void ShowResListInPreview(TThreadItem *item, TResList *list) override;
    void ShowUrlInDoubleWindow(const QString &url) override;

    // Writes the responses of the tab's list into it (header, responses, footer). With a search that
    // highlights, the matches in the visible responses are written between FILTERTAG1 and FILTERTAG2;
    // the responses keep their bodies.
    void WriteExtractView(TTavuBrowser *tab, const ResSearch::TResSearch *search);

private:
    TWindowFrameServices &frame;
    TThreadViewServices &views;
    TTabManager &tabs;
    TPaneLayout &panes;
    TThreadController &threads;
    TTavuBrowser *privateBrowser;
    QWidget *privatePlace;
};
