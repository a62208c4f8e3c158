#pragma once
// The board tree, the site list, the boards of a site and the tab bars, for the main window and the
// dialogs alike (no procedure here knows the main window; the main window's board tree is its board
// pane's, mainwindow/BoardPane.h).
//
// Board tree: the categories and boards of one site in a tree view, with the categories the user
// collapsed and the nodes at the top and selected kept per site in boardcnf.ini of the profile
// (one section per SITEID: a key per collapsed category = "1", TOP and SELECTED = node texts). The
// same filling serves the board trees of the dialogs. A board node carries its TBoard (role
// Qt::UserRole), a site node of a combined tree its TSite (role SiteRole); a category node neither.
//
// Site list: the sites of bbs.txt in its order, with their pictures (icon.bmp of the site's
// folder, its pixel at column 0, row 15 the transparent colour).
//

#include <QString>
#include <functional>

class QComboBox;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TBoard;
class TSite;

namespace BoardTree {

// ---- board tree ----

// The data role of a site node's TSite.
constexpr int SiteRole = 0x0101;   // Qt::UserRole + 1

// The board or site a node stands for (nullptr for a category node or no node).
TBoard *NodeBoard(const QTreeWidgetItem *node);
TSite *NodeSite(const QTreeWidgetItem *node);

// Rebuilds the tree with the site's boards, one node per run of boards of one category; boards
// whose name does not contain the filter (ignoring case and width) are left out. The categories
// collapsed last time are collapsed again and the stored top and selected nodes restored.
void FillBoardTree(QTreeWidget *tree, TSite *site, const QString &filter = QString());
// Adds the categories and boards of the node's site below a site node.
void FillSiteBoards(QTreeWidget *tree, QTreeWidgetItem *siteNode);
// Writes the tree's state for the site to boardcnf.ini (only when the tree has nodes).
void SaveTreeState(QTreeWidget *tree, const TSite *site);
// Selects the board's node (all categories collapsed first with BOARDLISTAUTOEXPAND) and opens the
// categories above it.
void SelectBoardNode(QTreeWidget *tree, const TBoard *board);
// The node was selected: with BOARDLISTAUTOEXPAND, a category that is not open collapses the whole
// tree first, so that it opens alone.
void CategorySelected(QTreeWidget *tree, const QTreeWidgetItem *node);
// Every node takes the board tree's colours again (CATEGORYBKCOLOR, BOARDLISTBKCOLOR, BOARDTEXTCOLOR).
void PaintBoardTree(QTreeWidget *tree);
// The first node, in tree order, whose text contains the text (ignoring case): after the current
// node when fromNext is set, else from the first node; nullptr when none.
QTreeWidgetItem *FindNextNode(QTreeWidget *tree, const QString &text, bool fromNext);

// ---- site list ----

// Fills the site list from bbs.txt: the name of each listed site, with the site attached and its
// picture; lines naming no site are skipped.
void LoadBBSTree(QComboBox *siteBox);

// ---- boards of a site ----

// What the board editor settles for a board being added or changed.
struct TBoardEditValues {
    QString Name;
    QString Url;        // the path or URL typed
    QString Category;
    int CharSet = 0;    // 0 Shift_JIS, 1 EUC-JP, 2 UTF-8
    QString ID;         // settled by the editor on OK
    QString Path;       // the host path (or folder) settled on OK
};
// The board editor: shows the values (edited is the board being changed, nullptr when adding) and
// returns true on OK with the settled values. The board editor dialog installs itself here; without
// it adding and changing a board do nothing.
using TBoardEditorHandler = std::function<bool(TSite *site, const TBoard *edited, TBoardEditValues &values)>;
TBoardEditorHandler SetBoardEditor(TBoardEditorHandler editor);

// Each returns true when the site's board.dat was rewritten (and the site's boards reloaded: every
// TBoard pointer of the site is new afterwards). All three refuse while BoardListsBusy.
// True, after an error box, while an HTTP job is alive or an update check or patrol runs: their
// workers hold boards that a rebuilt board list would free.
bool BoardListsBusy();
// The main window installs the question whether its update checks or patrols run (their workers
// hold boards too).
void SetBoardHoldersRunning(std::function<bool()> running);
bool AddSiteBoard(TSite *site, const QString &category, const QString &name, const QString &url);
bool ModifySiteBoard(TSite *site, TBoard *board);
// Asks first; the board's id is added to the site's board.abone once.
bool DeleteSiteBoard(TSite *site, TBoard *board);

// The boards of the favorites site that copy the board with the old host path and id take the
// board's fields (keeping their category) and its log folder.
void UpdateBoardEntry(const QString &oldHostPath, const QString &oldId, const TBoard &board);
// The favorites folder named DEFFAVNAME, created when missing; nullptr without a favorites site.
TBoard *EnsureDefaultFavoritesFolder();
TBoard *FindDefaultFavorites();

// ---- tab bars ----

// The first pressed tab button of a bar.
bool FindDownButton(QToolBar *bar, QToolButton *&button);
// A tab bar is exactly as wide as its buttons.
int GetBarWidth(QToolBar *bar);
void UpdateBarWidth(QToolBar *bar);

}  // namespace BoardTree
