#include "controls/WindowBounds.h"

#include <QWidget>

void TWindowBounds::Restore(QWidget *window) const
{
    if (State == 2)
        window->setWindowState(Qt::WindowMaximized);
    else
        window->setGeometry(Left, Top, Width, Height);
}

void TWindowBounds::Store(const QWidget *window) const
{
    State = window->isMaximized() ? 2 : 0;
    if (window->isMaximized() || window->isMinimized())
        return;
    Left = window->geometry().left();
    Top = window->geometry().top();
    Width = window->width();
    Height = window->height();
}
