#pragma once
// The main window's side of TWindowServices: every service forwards to the window. The window owns
// one and hands it to the command units it builds at start-up.

#include "commands/WindowServices.h"

class TVarneloWindow;

class TVarneloWindowServices : public TWindowServices {
public:
    explicit TVarneloWindowServices(TVarneloWindow &window) : window(window) {}

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

    TTavuActionList *ResRules() const override;
    TTavuActionList *ThreadRules() const override;

    QList<TThreadItem *> SelectedThreads() const override;
    bool SelectThreadRow(TThreadItem *item) override;
    void ThreadListChanged(TTavuListDoc *doc) override;
    TTavuListDoc *NewResultListDoc(const QString &caption, TThreadItemList *items) override;
    TTavuBrowser *FilterResView(const Kpwfunc::TResSearch &search) override;
    void RefreshResView() override;
    void UpdateStatusCaption(TThreadItem *item) override;
    void ShowResInPreview(TThreadItem *item, const TRes &res) override;

    void ApplySkinChange() override;
    QList<QAction *> WindowActions() const override;
    void LoadToolsMenu(const std::function<void(TToolMenuItem *)> &launch) override;
    void ReloadThreadListColumns() override;
    void ReloadToolBarsAndMenus() override;
    void ReloadShortcutBars() override;

private:
    TVarneloWindow &window;
};
