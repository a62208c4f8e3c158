#pragma once
// TBoardPane: the board pane of the main window, a panel holding the site box (SiteComboBox), the
// board filter (BoardFilterCombo, hidden until it is asked for) and the board tree
// (BoardListView). It keeps the site shown, fills the tree with that site's boards, filtered by the
// filter text, and keeps the tree's state per site (boardcnf.ini) when another site is shown.
//
// A board the user chooses in the tree opens through the reading services: a web-page board as a
// page, another board as its thread list; the panes switch as CHANGEPANE_BOARDLIST says, through
// the pane commands. What concerns the window's own menus and command states the pane tells it by
// its signals (SiteShown, CurrentNodeChanged). The window places the pane beside its body and owns
// it as a widget. The pane is what the units ask about sites and the board tree
// (TBoardTreeServices, controls/WindowServices.h).

#include "controls/WindowServices.h"

#include <QList>
#include <QString>
#include <QWidget>

class QComboBox;
class QTreeWidget;

class TBoardPane : public QWidget, public TBoardTreeServices {
    Q_OBJECT
public:
    TBoardPane(TWindowFrameServices &frame, TReadingServices &reading, QWidget *parent);

    QComboBox *SiteBox() const { return SiteComboBox; }
    QComboBox *FilterBox() const { return BoardFilterCombo; }
    QTreeWidget *Tree() const { return BoardListView; }

    // ---- the site shown ----

    // The site the tree shows (nullptr before the first one).
    TSite *CurrentSite() const override { return currentSite; }
    // Shows the site when the site box offers it and it is not shown already.
    void SelectSite(TSite *site);
    // The site chosen in the site box: the tree keeps the state of the site it leaves and shows the
    // chosen site's boards (SiteShown follows).
    void SiteComboBoxChange();
    // Shows the site: filled again, its state kept, when it is the site shown already.
    void ShowSiteBoards(TSite *site) override;
    // Fills the site box from bbs.txt.
    void FillSiteBox();
    // Reads the site list from bbs.txt again and shows its first site.
    void ShowFirstSite() override;
    // After the site's boards were read anew: when the tree shows the site it is filled with them
    // again (by the filter text when filtered).
    void ShowNewBoardsOf(TSite *site, bool filtered) override;
    // The sites the site box offers, in its order.
    QList<TSite *> OfferedSites() const override;
    // Keeps the tree's state of the site shown (boardcnf.ini).
    void SaveBoardTreeState() override;
    // True (after telling the user) while boards are held by requests or checks.
    bool BoardListsBusy() override;

    // ---- the board tree ----

    // The board of the current node (nullptr when it is no board), and whether there is one.
    TBoard *SelectedTreeBoard() const override;
    bool HasCurrentTreeNode() const override;
    // The current node was chosen: a web-page board opens as a page, another board's thread list
    // opens, a site node without children gets its boards.
    void BoardTreeChange();
    // Shows the board in the tree (making its site the shown one first).
    void SelectBoardInTree(const TBoard *board);
    // A board opened from a shortcut bar or the visited-boards button: shown in the tree only while
    // the option "板選択時にボード一覧の該当板を選択状態にする" (JUMPSHORTCUT) is on.
    void JumpToBoardInTree(const TBoard *board) override;
    // Makes the next node whose text contains the text current; false when none does.
    bool FindTreeNode(const QString &text, bool fromNext) override;
    // The current node shows its board's picture again.
    void RefreshTreeNodeIcon() override;
    // The tree is filled again with the shown site's boards, as when the site is chosen.
    void RefillBoardTree() override { SiteComboBoxChange(); }
    // The filter box shows (focused) or hides; the tree opens or closes every folder.
    void ShowBoardFilter(bool shown) override;
    void ExpandBoardTree(bool expand) override;
    // Drops of browser tabs: on the tree's viewport, at a node (board: its board, nullptr for a
    // category).
    QWidget *TabDropTarget() const override;
    bool TreeNodeAt(const QPoint &point, TBoard *&board) const override;

signals:
    // The tree shows the site's boards now.
    void SiteShown(TSite *site);
    // The tree's current node changed.
    void CurrentNodeChanged();

private:
    TWindowFrameServices &frame;
    TReadingServices &reading;
    QComboBox *SiteComboBox = nullptr;
    QComboBox *BoardFilterCombo = nullptr;
    QTreeWidget *BoardListView = nullptr;
    TSite *currentSite = nullptr;

    void BindBoardTree();
    // Runs actShowPaneChange when wanted and the option CHANGEPANE_BOARDLIST is on.
    void SwitchPaneFromBoardList(bool wanted);
    bool IsPaneShown(const char *action) const;
};
