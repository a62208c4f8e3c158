#pragma once
// TVarneloWindowServices: the subjects of TWindowServices that no part of the window owns yet (the
// thread views, the boards); each member forwards to the window or one of its flows.
// The window owns one and hands it out as those subjects.

#include "controls/WindowServices.h"

class TVarneloWindow;

class TVarneloWindowServices : public TThreadViewServices,
                               public TBoardServices {
public:
    explicit TVarneloWindowServices(TVarneloWindow &window) : window(window) {}

    // The board pane's splitter, the body's splitter, the board filter and the log pane report to
    // the window's events (the log pane becomes editable for its typed commands).
    void BindEvents();

    // ---- thread views (TThreadViewServices) ----
    void AddLog(const QString &text) override;
    void UpdateBrowserMenu() override;
    void UpdateStatusCaption(TThreadItem *item) override;
    void RefreshResView() override;
    void RenderResList(IResultView *view, TResList *list) override;
    TTavuHintWindow *HintWindow() const override;
    QTimer *HtmlPopupTimer() const override;
    QMenu *BrowserSelectionMenu() const override;
    QMenu *BrowserPopupMenu() const override;
    void PopupResMenu() override;
    void PopupResIDMenu() override;
    void TypeAddress(const QString &text) override;

    // ---- boards (TBoardServices) ----
    void ReloadBBSBar() override;
    void ThreadStateChanged(TThreadItem *item) override;
    void ShortcutsChanged() override;
    void UpdateBoardListMenu() override;
    void UpdateThreadListMenu() override;
    void ShowNewThreadCount(int count) override;
    bool UpdateCheckRunning() const override;
    bool StopCheckOf(TTavuListDoc *doc) override;

private:
    TVarneloWindow &window;
};
