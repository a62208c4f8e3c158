#pragma once
// The main window's bars and menus as the user's files make them (the tool-bar band layout, the
// tool bars, popup menus, tools menu, thread-list columns and site menus), and beside them what
// many flows call on the window's commands and log pane: switching all commands off while a post
// runs, key bindings, the browser's find and source commands, and the log pane's lines (the log
// lines of every layer and the event sounds come from services/EventLog.h, which this header
// brings along).
//
// Every procedure takes what it works on, so that each is testable without a main window. The
// readers of the files are plain functions returning data; thin functions turn that data into
// widgets.

#include "controls/ActionCatalogue.h"
#include "services/EventLog.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QWidget;
class TEmbeddedWB;
class TGaishutuMenuItem;
class TIniFile;
class TSite;
class TThreadItem;
class TToolMenuItem;
class TqorExtListView;

namespace BarsAndMenus {

// ---- log pane ----

// Appends the text as a new line of the log pane and scrolls so that it is the bottom line in
// view. Safe from any thread: a call from another thread is handed to the pane's thread.
void AddLog(QPlainTextEdit *memo, const QString &text);

// ---- enabling ----

// Switches the menu bar and every action off while a long operation runs, and back on after it.
// Acts only when the state differs from the last call; switching off only while the window is
// showing. Switching off remembers each action's state; switching on restores exactly the actions
// that were enabled, also when the window was hidden in between.
void SetActionsEnabled(QWidget *window, QWidget *menuBar, const QList<QAction *> &actions, bool enabled);

// ---- key bindings ----

// For every action reads the key = action name in section SHORTCUT of the ini: a value becomes the
// action's shortcut; an empty, missing or unreadable one clears it.
void ApplyShortcutKeys(const TIniFile &ini, const QList<QAction *> &actions);

// ---- browser commands ----

enum TBrowserCommand { bcFind = 0, bcViewSource = 1, bcOptions = 2 };
// Find opens the page's find bar (TFindBar); view source shows the page's HTML. Nothing
// happens while the browser is busy or has no document. The control has no options window of its
// own, so bcOptions does nothing.
void BrowserCommand(TEmbeddedWB *browser, int command);

// ---- tool-bar band layout ----

// One band of a band section ("COOLBAR1"): keys "BAND" + index + "ID", "WD", "BR" and "CAP".
struct TCoolBand {
    int ID = 0;           // the band's place in the designed order
    int Width = 0;
    bool Break = false;   // the band starts a new row
    QString Caption;
};

// The order of the bands after loading: the bands ids in their current order rearranged by the
// stored ids (an id that names no band is skipped), with each place's stored break and width
// (missing keys keep what the band at that place had). An absent section leaves them as they are.
QList<TCoolBand> ReadCoolBarBands(const TIniFile &ini, const QString &section, const QList<TCoolBand> &current);
void WriteCoolBarBands(TIniFile &ini, const QString &section, const QList<TCoolBand> &bands);

// The tool bars of the window's top area are the bands; their ids are their places in bands (the
// designed order). Loading rearranges them and their row breaks; Qt sizes tool bars by their
// buttons, so a stored width is kept in the file but not applied.
void LoadCoolBarBands(QMainWindow *window, const QList<QToolBar *> &bands, const TIniFile &ini,
                      const QString &section);
void SaveCoolBarBands(QMainWindow *window, const QList<QToolBar *> &bands, TIniFile &ini,
                      const QString &section);

// ---- tool bars and popup menus (toolbar.ini, popup.ini) ----

// The entries of one bar or menu: action names and "-" for separators, in display order, from
// the keys prefix + 1 .. prefix + COUNT; empty values are left out. nullopt when the section is
// missing (the bar or menu then keeps what it has).
std::optional<QStringList> ReadActionEntries(const TIniFile &ini, const QString &section,
                                             const QString &keyPrefix);

// The designed buttons and items, used while the file has no section for them.
QStringList DesignedToolBar(const QString &toolBarName);
QStringList DesignedPopupMenu(const QString &menuName);

// Removes every button of the bar; the separators and buttons it was given are freed.
void ClearToolBar(QToolBar *toolBar);

// Replaces the bar's buttons: an action name gives the action's button (a name no action has
// gives an empty button without action), "-" a separator.
void FillToolBar(QToolBar *toolBar, const QStringList &entries, const TActionList &actions);
// Rebuilds the bar from the section named like it (its objectName) when toolbar.ini has one.
void LoadToolBars(const QString &fileName, QToolBar *toolBar, const TActionList &actions);

// Replaces the menu's items: an action name gives the action's item (names no action has are
// skipped), "-" a separator.
void FillPopupMenu(QMenu *menu, const QStringList &entries, const TActionList &actions);
// Rebuilds the menu from the section named like it when popup.ini has one, then adds the menu's
// fixed entries after a separator: "設定オプション..." on BoardListPopup and ThreadItemPopup
// (calling showOptions with the option page 3 or 4), "カスタマイズ..." on ThreadListPopup and
// BrowserPopup (triggering the action actToolCustomizePopupMenu). Fixed entries of an earlier load
// are replaced, never repeated.
void LoadPopupMenus(const QString &fileName, QMenu *menu, const TActionList &actions,
                    const std::function<void(int page)> &showOptions);
// Adds (or renews) only the menu's fixed entries.
void AddPopupMenuFixedEntries(QMenu *menu, const TActionList &actions, const std::function<void(int page)> &showOptions);

// ---- tools menu (tool.txt) ----

struct TToolEntry {
    bool Separator = false;   // a line "-"
    QString Title;
    QString Program;
    QString WorkDir;
    QString Arguments;
    bool AppendUrl = false;   // field 5 is "1"
};
// The tools of tool.txt (lines blank after trimming are left out); nullopt when the file is missing.
std::optional<QList<TToolEntry>> ReadToolFile(const QString &fileName);
// Replaces the external tools at the end of the menu: when the file exists, a separator and one
// TToolMenuItem per tool, whose click calls launch.
void LoadToolsMenu(QMenu *toolMenu, const QString &fileName,
                   const std::function<void(TToolMenuItem *)> &launch);

// ---- thread-list columns (column.txt) ----

struct TThreadListColumn {
    QString Key;
    QString Caption;
    int ImageIndex = imgNone;
    Qt::Alignment Alignment = Qt::AlignLeft;
    int Width = 50;   // the designed width, kept while no width is stored for the key
};
// The column of a key (compared ignoring case); an unknown key gives a column without caption.
TThreadListColumn ThreadListColumnOf(const QString &key);
// The keys of column.txt; SINCE, READPOINT and THREADNO are appended (in that order) when missing,
// and the file is then written at once.
QStringList LoadColumnKeys(const QString &fileName);
// The columns to show: "NO" first, then one per key (of column.txt).
QList<TThreadListColumn> ThreadListColumns(const QStringList &keys);
void LoadThreadListColumns(TqorExtListView *list, const QStringList &keys);

// ---- shortcut.txt ----

// Deletes every thread entry of the thread from shortcut.txt (saved only when one was deleted) and
// clears the thread's shortcut flag.
void RemoveFromShortcutFile(TThreadItem *item, const QString &fileName);
void RemoveFromShortcutFile(TThreadItem *item);   // the profile's shortcut.txt

// ---- site menus ----

// Rebuilds the menu of the site's own functions: one item per action of the category named like
// the site's SITEID (the menu is enabled when there is one), then a separator and
// "設定オプション..." (option page 8).
void LoadSiteFunctionMenu(QMenu *menu, const TSite *site, const TActionList &actions,
                          const std::function<void(int page)> &showOptions);

// Rebuilds the menu of boards opened in this run: per site (in the order given) that has any, an
// item for the site and below it the boards, grouped by category when byCategory is set. Each
// board is a TGaishutuMenuItem whose click calls open.
void LoadVisitedBoardsMenu(QMenu *menu, const QList<TSite *> &sites, bool byCategory,
                           const TImageList &images, const TImageList &siteImages,
                           const std::function<void(TGaishutuMenuItem *)> &open);

// ---- small helpers ----

// The text with every "&" doubled, so that a menu shows it as it is.
QString EscapeMenuCaption(const QString &text);
// The name of the last folder of a path ("a/b/c/" and "a/b/c" give "c"); empty for an empty path.
QString GetLastFolderName(const QString &path);

}  // namespace BarsAndMenus
