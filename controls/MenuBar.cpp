#include "controls/MenuBar.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace {

// A menu-bar button: its "&" letter pressed with Alt drops its menu down, as a menu bar does.
class TMenuBarButton : public QToolButton {
public:
    using QToolButton::QToolButton;

    // The menu grabbed the mouse, so a pointer that left the button meanwhile was never reported:
    // the button would keep its frame until the mouse moves over it again.
    void MenuClosed()
    {
        if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
            setAttribute(Qt::WA_UnderMouse, false);
            update();
        }
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::Shortcut && menu()) {
            showMenu();
            return true;
        }
        return QToolButton::event(event);
    }
};

}  // namespace

TMenuBar::TMenuBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("MenuBar1"));
    setWindowTitle(QStringLiteral("メニューバー"));
    setMovable(true);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setContentsMargins(0, 0, 0, 0);
}

void TMenuBar::SetMenu(QMenu *newMenu)
{
    if (newMenu == menu)
        return;
    FreeButtons();
    menu = newMenu;
    if (!menu)
        return;
    for (QAction *item : menu->actions())
        AddButton(item);
}

void TMenuBar::FreeButtons()
{
    qDeleteAll(buttonActions);
    buttonActions.clear();
    buttons.clear();
}

void TMenuBar::AddButton(QAction *item)
{
    auto *button = new TMenuBarButton(this);
    button->setMenu(item->menu());
    if (item->menu())
        connect(item->menu(), &QMenu::aboutToHide, button, [button] {
            QTimer::singleShot(0, button, [button] { button->MenuClosed(); });
        });
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    button->setFixedHeight(ButtonHeight);
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    QAction *holder = addWidget(button);
    buttons.append(button);
    buttonActions.append(holder);
    // The button follows its item as a menu bar entry does: caption, enabled state, visibility.
    auto follow = [item, button, holder] {
        button->setText(item->text());
        button->setEnabled(item->isEnabled());
        holder->setVisible(item->isVisible());
    };
    follow();
    connect(item, &QAction::changed, button, follow);
}
