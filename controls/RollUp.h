#pragma once
// TRollUp: a tool window that rolls up to its caption while another window is active. Losing the
// activation hides the window's contents and takes their height away; getting it back shows them
// again at the height the window had. The window calls ActivationChanged from its changeEvent and
// Unroll before it stores its bounds.

#include <QList>

class QWidget;

class TRollUp {
public:
    // contents: the widgets hidden while rolled up.
    TRollUp(QWidget *window, const QList<QWidget *> &contents) : window(window), contents(contents) {}

    void ActivationChanged();
    void Unroll();
    bool IsRolledUp() const { return unrolledHeight > 0; }

private:
    QWidget *window;
    QList<QWidget *> contents;
    int unrolledHeight = 0;   // the height before the window rolled up (0: it is not rolled up)

    void RollUp();
};
