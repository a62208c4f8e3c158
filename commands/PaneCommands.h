#pragma once
// TPaneCommands: the view commands that show, hide and arrange the panes of the main window, the
// focus commands, the board tree's expand and collapse and its filter bar, the tab bars' layout
// commands, the focus-follows-mouse timer, and hiding the hint window when the program loses the
// activation.
//
// The board pane collapses into its splitter (BoardListSplitter); the thread-list pane and the
// browser pane share the body, one above the other or side by side, and at least one of the two
// is always shown. A hidden pane remembers its size and gets it back when shown. The extended
// thread list spans the whole width above the board pane and the browser. The choices are kept
// in the configuration (DESKTOP EXTTHREADLIST, SHOWTHREADLIST, SHOWBROWSER, BOARDLISTSHOWRIGHT)
// as soon as they change.

#include "controls/WindowServices.h"

#include <QObject>
#include <QString>

class TPaneCommands : public QObject {
    Q_OBJECT
public:
    // Binds the commands of the family through the services.
    TPaneCommands(TWindowFrameServices &frame, TThreadViewServices &views, TBoardTreeServices &boards,
                  TLayoutServices &layout, TBarServices &bars, QObject *parent = nullptr);

    void actShowBoardList2Execute();
    void actShowThreadList2Execute();
    void actShowBrowserExecute();
    void actShowVerticalExecute();
    void actShowExtThreadListExecute();
    void actShowPaneChangeExecute();
    void actShowBoardListRightExecute();
    void actShowMessageExecute();
    void actShowToolbarsExecute();
    void actShowBoardFilterExecute();
    void actBoardAllExpandExecute(bool expand);

    using TFocusTarget = TBarServices::TPaneControl;
    // Opens the pane when it is closed, focuses it and moves the mouse pointer into it.
    void FocusPane(TFocusTarget target);

    // After the user dragged the splitter between thread list and browser, the check states follow
    // the sizes.
    void ThreadListSplitterMoved();
    // Focus follows the mouse: the control under the pointer gets the focus while the main window
    // is the active window (the hint window and the control already focused are left alone).
    void FocusTimerTimer();

    // Whether the pane is shown now (visible and not shrunk away).
    bool IsThreadListShown() const;
    bool IsBrowserShown() const;

private:
    TWindowFrameServices &frame;
    TThreadViewServices &views;
    TBoardTreeServices &boards;
    TLayoutServices &layout;
    TBarServices &bars;
    int threadListTag = 0;   // the size of each pane before it was hidden
    int browserTag = 0;

    bool IsChecked(const QString &name) const;
    void SetChecked(const QString &name, bool checked);
    void Trigger(const QString &name);
    void HidePane(TLayoutServices::TBodyPane pane, int &tag);
    void LayOutBody(bool sideBySide);
    void StoreChoices();
};
