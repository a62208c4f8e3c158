#include "controls/TabButton.h"

#include <QMouseEvent>

TTavuToolButton::TTavuToolButton(QWidget *parent) : QToolButton(parent)
{
    setCheckable(true);
    setAutoExclusive(true);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void TTavuToolButton::DoCloseClick()
{
    if (OnCloseClick)
        OnCloseClick(this);
}

void TTavuToolButton::DoReloadClick()
{
    if (OnReloadClick)
        OnReloadClick(this);
}

void TTavuToolButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {   // its menu then acts on its tab
        click();
        event->accept();
        return;
    }
    if (event->button() == Qt::MiddleButton) {
        middlePressed = true;
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
}

void TTavuToolButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        const bool clicked = middlePressed && rect().contains(event->position().toPoint());
        middlePressed = false;
        event->accept();
        if (clicked)
            emit MiddleClicked(this);
        return;
    }
    QToolButton::mouseReleaseEvent(event);
}
