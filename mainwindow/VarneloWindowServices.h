#pragma once
// The main window's side of TWindowServices: every service forwards to the window. The window owns
// one and hands it to the command units it builds at start-up.

#include "controls/WindowServices.h"

class TVarneloWindow;

class TVarneloWindowServices : public TWindowServices {
public:
    explicit TVarneloWindowServices(TVarneloWindow &window) : window(window) {}

    // The board pane's splitter, the body's splitter, the board filter and the log pane report to
    // the window's events (the log pane becomes editable for its typed commands).
    void BindEvents();

    QWidget *Window() const override;
    QAction *Action(const QString &name) const override;
    bool BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler) override;
    void SetActionEnabled(const QString &name, bool enabled) override;
    void BeginBusy() override;
    void EndBusy() override;

    TTavuBrowser *CurrentBrowser() const override;
    TTavuListDoc *CurrentListDoc() const override;
    QList<TTavuBrowser *> Browsers() const override;
    QList<TTavuListDoc *> ListDocs() const override;

    void OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber) override;
    void OpenBoard(TBoard *board, bool reload) override;
    void OpenThreadUrl(const QString &url, bool fromViewer = false) override;
    void OpenWebPage(const QString &url, const QString &caption) override;
    bool DoubleWindowShown() const override;

    void AddLog(const QString &text) override;
    void UpdateBrowserMenu() override;
    void UpdateStatusCaption(TThreadItem *item) override;
    void RepaintThreadList() override;
    void RefreshResView() override;
    void RenderResList(IResultView *view, TResList *list) override;
    TTavuHintWindow *HintWindow() const override;
    QTimer *HtmlPopupTimer() const override;
    QMenu *BrowserSelectionMenu() const override;
    QMenu *BrowserPopupMenu() const override;
    void PopupResMenu() override;
    void PopupResIDMenu() override;
    TWindowEvents &Events() const override;
    void TypeAddress(const QString &text) override;

    void WriteReply(TTavuBrowser *tab, const QString &text) override;

    QList<TTavuBrowser *> BrowserTabOrder() const override;
    QList<TTavuListDoc *> ListDocTabOrder() const override;
    void ShowBrowserTab(TTavuBrowser *tab) override;
    void CloseBrowser(TTavuBrowser *tab, bool redraw = true) override;
    TTavuBrowser *NewPageTab(const QString &caption, bool activate = true) override;
    TTavuBrowser *NewThreadTab(TThreadItem *item, bool activate) override;

    TSite *CurrentSite() const override;
    void ShowSiteBoards(TSite *site) override;
    void ShowFirstSite() override;
    void ReloadBBSBar() override;
    void JumpToBoardInTree(TBoard *board) override;
    bool BoardListsBusy() override;
    TBoard *SelectedTreeBoard() const override;
    TTavuListDoc *ShownListDoc() const override;
    QList<TThreadItem *> SelectedThreads() const override;
    void ThreadStateChanged(TThreadItem *item) override;
    void ShortcutsChanged() override;

    TTavuActionList *ResRules() const override;
    TTavuActionList *ThreadRules() const override;
    void SaveResRules() override;
    QString ResRulesFile() const override;
    QString ThreadRulesFile() const override;

    bool SelectThreadRow(TThreadItem *item) override;
    void ThreadListChanged(TTavuListDoc *doc) override;
    void SelectedThreadsLeft(TTavuListDoc *doc) override;
    TTavuBrowser *FilterResView(const ResSearch::TResSearch &search) override;
    void ShowResInPreview(TThreadItem *item, const TRes &res) override;
    void ShowResListInPreview(TThreadItem *item, TResList *list) override;
    void ShowUrlInDoubleWindow(const QString &url) override;

    void ShowBoardPane(bool shown) override;
    void PutBoardPaneRight(bool right) override;
    int HideBodyPane(TBodyPane pane) override;
    void ShowBodyPane(TBodyPane pane, int size) override;
    bool BodyPaneShown(TBodyPane pane) const override;
    void LayOutBody(bool sideBySide) override;
    void SpanThreadList(bool span) override;
    void ShowLogPane(bool shown) override;
    void ShowHeaderBars(bool shown) override;
    void ShowBoardFilter(bool shown) override;
    void ExpandBoardTree(bool expand) override;
    void LayOutTabBar(TBodyPane pane) override;
    void FocusControl(TPaneControl control) override;
    void PlaceThreadInfo(QWidget *tabs, QWidget *imagePane, int imagePanePlace) override;
    int ThreadInfoWidth() const override;
    void WatchBrowserTabBar(QObject *filter) override;
    QWidget *TabDropTarget() const override;
    bool TreeNodeAt(const QPoint &point, TBoard *&board) const override;
    void RefillBoardTree() override;
    void ShowNewBoardsOf(TSite *site, bool filtered) override;
    void ApplyTabBarPositions() override;
    QList<QIcon> ActionImages() const override;
    void CloseBoardTabs(TBoard *board) override;

    TTavuListDoc *NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board) override;

    TTextList &BookmarkIndex() const override;
    QString BookmarkIndexFile() const override;
    QMenu *Menu(const QString &name) const override;
    void StoreBarLayout() override;
    void ReloadBarLayout() override;

    TBoard *ShownBoard() const override;

    void OpenInPreviewBrowser(const QString &url) override;
    void ShowPictureView(const QString &url) override;
    QWidget *TracePane() const override;

    void ApplySkinChange() override;
    QList<QAction *> WindowActions() const override;

    // command states
    bool HasCurrentTreeNode() const override;
    TThreadItem *FocusedThread() const override;
    bool UpdateCheckRunning() const override;
    QList<TSite *> OfferedSites() const override;
    bool FindTreeNode(const QString &text, bool fromNext) override;
    void RefreshTreeNodeIcon() override;
    QPoint VisitedBoardsMenuPlace() const override;
    void ReloadToolsMenu() override;
    void ReloadThreadListColumns() override;
    void ReloadToolBarsAndMenus() override;

    // thread-list tabs and rows
    void ShowListDoc(TTavuListDoc *doc) override;
    TTavuListDoc *BoardTab(const TBoard *board) const override;
    void CloseListDoc(TTavuListDoc *doc, bool redraw = true) override;
    void RedrawListTabs() override;
    TThreadTab *FocusedTab() const override;
    int ThreadListRowCount() const override;
    void UpdateBoardListMenu() override;
    void UpdateThreadListMenu() override;
    void ShowNewThreadCount(int count) override;
    void DownloadNextPage(TTavuListDoc *doc) override;
    bool StopCheckOf(TTavuListDoc *doc) override;
    QStringList ThreadListColumns() const override;
    void SetThreadListRowCount(int count, bool keepScroll) override;

    // response search
    void ShowExtractTab(TThreadItem *item, TResList *list, const QString &url) override;
    void SearchBoardLogs(TTavuListDoc *doc, const ResSearch::TResSearch &search) override;
    void ShowDoubleWindow(bool show) override;

    // stop-all and shutdown
    void HideWindow() override;
    void StopAll() override;
    void ClearBusy() override;
    void StopFocusTimer() override;
    void SaveBoardTreeState() override;
    void ReleaseTabs() override;
    void ReleaseSessionParts() override;

private:
    TVarneloWindow &window;
};
