#pragma once
// TFoldingWindow: a tool window (the reply composer, the rule list) that may fold to its title bar
// while another window is active and unfolds when it is activated again. The window decides in
// FormActivate and FormDeactivate what activation means to it; folding and unfolding, and the
// height to come back to, are kept here.

#include <QMainWindow>

class TFoldingWindow : public QMainWindow {
    Q_OBJECT
public:
    using QMainWindow::QMainWindow;

protected:
    // Calls FormActivate or FormDeactivate when the activation of the visible window changes.
    void changeEvent(QEvent *event) override;
    virtual void FormActivate() = 0;
    virtual void FormDeactivate() = 0;

    // Hides the central widget and the status bar, keeping the height to unfold to.
    void Collapse();
    // Shows them again at the kept height.
    void Expand();
    // True when the active window is this one or one of its own (a dialog, a preview).
    bool OwnWindowActive() const;

    bool collapsed = false;
    int savedHeight = 0;
};
