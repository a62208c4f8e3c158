#pragma once
// The main window's side of TWindowServices: every service forwards to the window. The window owns
// one and hands it to the command units it builds at start-up.

#include "controls/WindowServices.h"

class TVarneloWindow;

class TVarneloWindowServices : public TWindowServices {
public:
    explicit TVarneloWindowServices(TVarneloWindow &window) : window(window) {}

    QWidget *Window() const override;
    QAction *Action(const QString &name) const override;
    bool BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler) override;
    void SetActionEnabled(const QString &name, bool enabled) override;
    void SetCommandsEnabled(bool enabled) override;
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
    void OnOptionsApplied(QObject *receiver, const std::function<void()> &handler) override;
    void OnBrowserTabCreated(QObject *receiver, const std::function<void(TTavuBrowser *)> &handler) override;
    void OnThreadShown(QObject *receiver, const std::function<void()> &handler) override;

    void WriteReply(TTavuBrowser *tab, const QString &text) override;

    QList<TTavuBrowser *> BrowserTabOrder() const override;
    QList<TTavuListDoc *> ListDocTabOrder() const override;
    void ShowBrowserTab(TTavuBrowser *tab) override;
    void CloseBrowser(TTavuBrowser *tab) override;
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
    TTavuBrowser *FilterResView(const Kpwfunc::TResSearch &search) override;
    void ShowResInPreview(TThreadItem *item, const TRes &res) override;
    void ShowResListInPreview(TThreadItem *item, TResList *list) override;
    void ShowUrlInDoubleWindow(const QString &url) override;

    TPanes Panes() const override;
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
    QWidget *TracePane() const override;

    void ApplySkinChange() override;
    QList<QAction *> WindowActions() const override;
    void ReloadToolsMenu() override;
    void ReloadThreadListColumns() override;
    void ReloadToolBarsAndMenus() override;

private:
    TVarneloWindow &window;
};
