#include "tools/FoldingWindow.h"

#include <QApplication>
#include <QEvent>
#include <QStatusBar>

void TFoldingWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isVisible())
        return;
    if (isActiveWindow())
        FormActivate();
    else
        FormDeactivate();
}

void TFoldingWindow::Collapse()
{
    if (collapsed)
        return;
    savedHeight = height();
    collapsed = true;
    centralWidget()->hide();
    statusBar()->hide();
    setFixedHeight(0);
}

void TFoldingWindow::Expand()
{
    if (!collapsed)
        return;
    collapsed = false;
    setMinimumHeight(0);
    setMaximumHeight(QWIDGETSIZE_MAX);
    centralWidget()->show();
    statusBar()->show();
    resize(width(), savedHeight);
}

bool TFoldingWindow::OwnWindowActive() const
{
    for (const QWidget *w = QApplication::activeWindow(); w; w = w->parentWidget()) {
        if (w == this)
            return true;
    }
    return false;
}
