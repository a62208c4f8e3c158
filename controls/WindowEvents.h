#pragma once
// TWindowEvents: what happens in the main window that the units hear of. The window owns the one
// object and emits its signals; the services hand it out (TWindowFrameServices::Events) and a unit
// connects to the signals it needs, the connection ending with the unit.

#include <QObject>
#include <QString>

class TTavuBrowser;

class TWindowEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Enter in the log pane on the line under the caret: LogLineEntered is emitted; true when a
    // subscriber took the line as a command (the key then does not reach the pane).
    bool EnterLogLine(const QString &line);

signals:
    // The window has taken the settings confirmed in the option dialog.
    void OptionsApplied();
    // A browser tab was made (the open ones are TTabServices::Browsers()).
    void BrowserTabCreated(TTavuBrowser *tab);
    // The caption shows another thread or new figures of it (a tab was activated, a rendering
    // changed it), or no thread any more.
    void ThreadShown();
    // The header of the column was clicked in the thread-list view.
    void ThreadListColumnClicked(int column);
    // The board pane opened or collapsed, by a command or a drag of its splitter.
    void BoardPaneToggled(bool open);
    // The user dragged the splitter between the panes of the body.
    void BodySplitterMoved();
    // Enter in the filter box of the board tree.
    void BoardFilterEntered();
    // A line typed into the log pane: a subscriber that takes it as a command sets *taken; one that
    // finds *taken set leaves the line alone.
    void LogLineEntered(const QString &line, bool *taken);
};
