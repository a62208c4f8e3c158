#pragma once
// TMenuBar: a tool bar that shows the top-level items of a menu as flat, captioned buttons, so that
// the main menu can sit in a band of the main window's tool-bar area beside the other tool bars.
//
// The menu is referenced, not owned: each of its top-level actions becomes one button that shows the
// action's caption (its "&" letter works with Alt as in a menu bar) and drops down the action's
// submenu. Setting another menu frees the buttons of the old one.

#include <QList>
#include <QMenu>
#include <QPointer>
#include <QToolBar>

class QToolButton;

class TMenuBar : public QToolBar {
    Q_OBJECT
public:
    explicit TMenuBar(QWidget *parent = nullptr);

    QMenu *Menu() const { return menu; }
    // Rebuilds the buttons for the menu; the same menu again changes nothing, none leaves the bar
    // empty.
    void SetMenu(QMenu *newMenu);

    QList<QToolButton *> Buttons() const { return buttons; }

    static constexpr int ButtonHeight = 20;

private:
    QPointer<QMenu> menu;
    QList<QToolButton *> buttons;
    QList<QAction *> buttonActions;   // the bar's actions holding the buttons (deleting one frees its button)

    void FreeButtons();
    void AddButton(QAction *item);
};
