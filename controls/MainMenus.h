#pragma once
// The main window's menus and bars as widgets: the main menu with its submenus, the popup menus,
// the menu bar, the address band and the action tool bars of the top and bottom bands. The builder
// makes them as children of the window it is given and hands back what the window keeps; it knows
// nothing of the window beyond QMainWindow and the action catalogue.

#include <QList>
#include <functional>

class QAbstractScrollArea;
class QAction;
class QComboBox;
class QLabel;
class QMainWindow;
class QMenu;
class QToolBar;
class TActionList;
class TMenuBar;

// The menus the window keeps (the main menu holds a submenu for each top-level entry).
struct TMainMenus {
    QMenu *MainMenu1 = nullptr;
    QMenu *File1 = nullptr;
    QMenu *View1 = nullptr;
    QMenu *BoardMenu = nullptr;
    QMenu *ThreadListMenu = nullptr;
    QMenu *ThreadMenu = nullptr;
    QMenu *BrowserMenu = nullptr;
    QMenu *FavoriteMenu = nullptr;
    QMenu *Tool1 = nullptr;           // the tools menu; external tools are added at its end
    QMenu *BBSFunc = nullptr;         // the current site's own functions
    QMenu *Help1 = nullptr;
    QMenu *RecentRead = nullptr;
    QMenu *RecentWrite = nullptr;
    QMenu *ThreadListTabMenu = nullptr;
    QMenu *BrowserTabMenu = nullptr;
    QMenu *BrowserSelectionMenu = nullptr;   // the web-search engines of search.txt
    QMenu *GaishutuMenu = nullptr;    // boards opened in this run
    QMenu *BoardListPopup = nullptr;
    QMenu *ThreadListPopup = nullptr;
    QMenu *ThreadItemPopup = nullptr;
    QMenu *BrowserPopup = nullptr;
    QMenu *ResPopup = nullptr;
    QMenu *ResIDPopup = nullptr;      // the commands of a poster ID (commands/ResIDCommands.h)
    QMenu *ShortcutMenu = nullptr;
    QMenu *BookmarkMenu = nullptr;
};

// The bars of the top band (and the board-type bar at the bottom) the window keeps.
struct TMainBars {
    TMenuBar *MenuBar1 = nullptr;
    QToolBar *ToolBar7 = nullptr;     // the address band: UrlComboBox and the busy animation
    QToolBar *MainActToolBar = nullptr;
    QToolBar *AppActToolBar = nullptr;
    QToolBar *GaishutuToolBar = nullptr;
    QToolBar *BBSToolBar = nullptr;
    QComboBox *UrlComboBox = nullptr;
    QLabel *Animate1 = nullptr;       // the busy animation (resource/anime.gif)
};

namespace MainMenus {

// What refreshes the command states as a menu opens (each may be empty).
struct TMenuRefreshes {
    std::function<void()> ThreadList;   // ThreadListMenu, ThreadListPopup, ThreadItemPopup
    std::function<void()> Browser;      // BrowserPopup
    std::function<void()> BoardList;    // BoardListPopup
};

// The main menu in its fixed order, its submenus and the popup menus, children of the window. The
// menus of commands give every item an access key of its own; the menus listing things keep names.
TMainMenus BuildMainMenus(QMainWindow *window, const TActionList &actions, const TMenuRefreshes &refreshes);

// The menu bar over the main menu, the address band, the visited-boards bar and the main and
// application tool bars in the top band, the board-type bar (hidden) in the bottom band.
TMainBars BuildMainBars(QMainWindow *window, QMenu *mainMenu);

// The designed buttons of the tool bars and the designed items (with the fixed entries) of the
// popup menus; toolbar.ini and popup.ini replace them where they have a section.
void FillDesignedBarsAndMenus(const QList<QToolBar *> &bars, const QList<QMenu *> &menus, const TActionList &actions,
                              const std::function<void(int page)> &showOptions);

// The help menu's outside pages (H10Click), after its commands and a separator: guides, rules and
// answers for readers and posters of the boards. A click hands the entry's fixed address to open.
void AddHelpPages(QMenu *help, QObject *context, const std::function<void(const QString &url)> &open);

// A right click on the view opens the menu there.
void PopUpOver(QAbstractScrollArea *view, QMenu *menu);

// The hint of every tool-bar button: the action's hint, and its shortcut in parentheses after ":"
// when it has one.
void SetButtonHints(const QList<QAction *> &actions);

}  // namespace MainMenus
