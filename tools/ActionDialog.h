#pragma once
// TActionDialog: the rule list window. It lists the post rules (ngres.txt) and the thread rules
// (ngthread.txt) by kind ("アクション別表示") and by board ("板別表示"), and adds, edits and deletes
// rules with TActionDialog2 and TNGWordDialog. The main window keeps one, binds its two rule lists
// (not owned) and calls RefreshView before showing it.
//
// Edits change only the lists in memory; closing the window writes both files. Its bounds, the
// widths of its two side panels and of the first four rule-list columns are kept in kpw.ini
// (DESKTOP ACTWIN_*, ACTIONCOLWIDTH0..3).

#include "tools/FoldingWindow.h"

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QSplitter;
class TTavuSplitter;
class QTabBar;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TActionDialog2;
class TBoard;
class TTavuAction;
class TTavuActionList;

class TActionDialog : public TFoldingWindow {
    Q_OBJECT
public:
    explicit TActionDialog(QWidget *parent = nullptr);
    ~TActionDialog() override;

    void SetResActionList(TTavuActionList *list) { resRules = list; }
    void SetThreadActionList(TTavuActionList *list) { threadRules = list; }
    // Rebuilds the board tree, then lists the rules of the kind in front.
    void RefreshView();

    // The board the user is looking at, for new rules; null when none. Set by the main window.
    std::function<TBoard *()> ViewedBoard;
    // Re-applies the rules to the open thread ("現在開いているスレッドに適用する").
    std::function<void()> ApplyToOpenThread;
    // Where closing writes the two lists.
    QString ResRulesPath;
    QString ThreadRulesPath;

    // The shared rule dialog, made on first use.
    TActionDialog2 *RuleDialog();

    void actAddExecute();
    void actEditExecute();
    void actDeleteExecute();
    void actRefreshExecute();
    void actAddBatchExecute();

    QTabWidget *PageControl = nullptr;
    QTabBar *KindTabs = nullptr;            // "レス", "スレッド"
    QTreeWidget *RuleView = nullptr;        // the rules of the kind in front
    TTavuSplitter *Splitter1 = nullptr;
    QTreeWidget *RuleBoardView = nullptr;   // "BBS", "板" of the selected rule
    QTreeWidget *RuleTargetView = nullptr;  // "対象" of the selected rule
    QTreeWidget *BoardTree = nullptr;
    QComboBox *BoardCombo = nullptr;        // the boards that have rules
    QCheckBox *HideAllBoardsCheck = nullptr;
    QTreeWidget *BoardRuleView = nullptr;   // the rules of the chosen board
    QSplitter *Splitter2 = nullptr;
    QAction *actAdd = nullptr;
    QAction *actEdit = nullptr;
    QAction *actDelete = nullptr;
    QAction *actRefresh = nullptr;
    QAction *actAddBatch = nullptr;
    QMenu *PopupMenu = nullptr;

    // The list of the kind in front (post rules on "レス").
    bool ThreadKindInFront() const;
    TTavuActionList *ListInFront() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TTavuActionList *resRules = nullptr;
    TTavuActionList *threadRules = nullptr;
    TActionDialog2 *ruleDialog = nullptr;

    void CreateActions();
    QWidget *CreateKindPage();
    QWidget *CreateBoardPage();
    void ShowRules();
    void ShowBoardRules();
    void ShowSelectedRule();
    void FillBoardTree();
    QTreeWidgetItem *AddBoardNode(QTreeWidgetItem *parent, const QString &text, const QString &siteId,
                                  const QString &boardId);
    void BoardComboChange(int index);
    TTavuAction *SelectedRule(bool *threadRule = nullptr) const;
    TTavuActionList *ListOf(const TTavuAction *rule) const;
    void SaveLists();
    void FormActivate() override;
    void FormDeactivate() override;
};
