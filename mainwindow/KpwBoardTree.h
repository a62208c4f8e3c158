#pragma once
// The board tree, the site list and the tabs of the main window.
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
// Tabs: a board tab is a thread-list document shown in ThreadListView; a thread tab is a browser
// tab in the browser pane. Each has a check-style button on its tab bar (ThreadListBar,
// BrowserToolBar) followed by a thin separator, and a radio item in its tab menu. The window's
// lists ListDocs and Browsers hold them, the most recently activated first.

#include <QString>
#include <functional>

class QComboBox;
class QObject;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TBoard;
class TResList;
class TSite;
class TTavuBrowser;
class TTavuListDoc;
class TThreadItem;
class TThreadItemList;

namespace Kpwfunc {

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
// The selected node changed: a web-page board opens as a page, another board's thread list opens,
// a site node without children gets its boards.
void BoardTreeChange(QTreeWidget *tree);
// Shows the board in the main window's board tree (making its site the current one first).
void SelectBoardInTree(const TBoard *board);
// A board opened from a shortcut bar or the visited-boards button: shown in the board tree only
// while the option "板選択時にボード一覧の該当板を選択状態にする" (JUMPSHORTCUT) is on.
void JumpToBoardInTree(const TBoard *board);

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

// ---- threads of the board tabs ----

// Opens the thread of the selected row of the current board tab (in a new tab when asked).
void OpenSelectedThread(bool newTab = false);
// After a thread item changed: repaints its row when the current board tab shows it, and reloads
// the .inf of every other item of the same thread in the board tabs.
void RefreshThreadListItem(TThreadItem *item);

// ---- tabs ----

// A new board tab for the board (nullptr: a list of no board) holding items (taken over; a new
// list when nullptr), with the document mode, activated or appended behind the others.
void NewListDoc(TTavuListDoc *&doc, TThreadItemList *items, int mode, bool activate, const QString &caption,
                TBoard *board);
// A new thread tab, for the thread (one reference taken) or, without one, as a web page. The tab
// owns resList.
void NewBrowser(TTavuBrowser *&browser, TResList *resList, TThreadItem *item, bool activate, const QString &caption);

// The first pressed tab button of a bar.
bool FindDownButton(QToolBar *bar, QToolButton *&button);
// The board tab showing the board (same site and board id).
bool FindBoardTab(const TBoard *board, TTavuListDoc *&doc);
// The index of a board tab's button among the buttons of ThreadListBar; -1 when none.
int IndexOfBoardTab(const TTavuListDoc *doc);
// The index of the pressed button of BrowserToolBar that has a tab; -1 when none.
int IndexOfActiveBrowserButton();
// The browser tabs in the order of their buttons on BrowserToolBar.
QList<TTavuBrowser *> BrowserTabOrder();
// The thread-list tabs in the order of their buttons on ThreadListBar.
QList<TTavuListDoc *> ListDocTabOrder();

// Closing a tab stops what it loads; what arrives for it afterwards is dropped.
void CloseListDoc(TTavuListDoc *doc, bool redraw = true);
void CloseActiveListDoc(bool redraw = true);
void CloseBrowser(TTavuBrowser *browser, bool redraw = true);
void CloseActiveBrowser(bool redraw = true);

// A tab bar is exactly as wide as its buttons.
int GetBarWidth(QToolBar *bar);
void UpdateBarWidth(QToolBar *bar);
// The tab's caption from its thread's title (shortened to TITLELEN with SHORTTITLE on, the full
// title then in the hint).
void SetBrowserTabCaption(TTavuBrowser *browser);

}  // namespace Kpwfunc
