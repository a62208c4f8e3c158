#pragma once
// TShortcutBarCommands: the main window's two shortcut bars, ShortcutBar1 in the top band and
// ShortcutBar3 in the bottom band (SHORTCUTBARPOS: 0 top, 1 bottom, says which one shows). It makes
// their bands, loads shortcut.txt into both, gives each button its hint when the hint is asked for
// (a thread's title is read from its .inf then, not for every button at start-up) and opens what a
// clicked shortcut names: a board, a thread, a program, a web page, or a menu of a category's boards.

#include <QObject>

class QMainWindow;
class QMenu;
class QToolBar;
class TBoard;
class TTavuShortcutBar;
class TTavuShortcutToolButton;
class TWindowServices;
struct TMainBars;

class TShortcutBarCommands : public QObject {
    Q_OBJECT
public:
    // The bands go into the window: the top one before the application tool bar, as high as the
    // main tool bar, the bottom one into the bottom band. popupMenu is the bars' menu; it takes the
    // commands of the category "ショートカットバー". The window builds it with its bars, before its
    // tabs and board pane: it asks the services for its subjects when it uses them.
    TShortcutBarCommands(TWindowServices &services, QMainWindow *window, const TMainBars &bars, QMenu *popupMenu);

    TTavuShortcutBar *ShortcutBar1 = nullptr;
    TTavuShortcutBar *ShortcutBar3 = nullptr;
    QToolBar *ShortcutBand1 = nullptr;
    QToolBar *ShortcutBand3 = nullptr;

    // Both bars load the profile's shortcut.txt again.
    void LoadShortcutBars();
    void ApplyShortcutBarPosition();

    void ShortcutClick(TTavuShortcutToolButton *button);
    void ShortcutCreated(TTavuShortcutToolButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TWindowServices &services;

    QToolBar *NewBand(QMainWindow *window, const char *name, int height, QMenu *popupMenu, TTavuShortcutBar *&bar);
    void RunApplication(const TTavuShortcutToolButton &button);
    void OpenCategoryMenu(TTavuShortcutToolButton *button);
    void OpenBoard(TBoard *board);
};
