#pragma once
// TWindowServices: what the command units may ask of the main window.
//
// The commands of the main window live in command units by family (thread commands, browser-tab
// commands, selected-post commands, hover popups, pane commands, tool commands, ...). A unit never
// includes the main window's header: it is given this interface and reaches the window only
// through it. The window implements it once (mainwindow/VarneloWindowServices.cpp); tests give a
// unit a small fake where no window is needed.
//
// The interface is grouped by what the services are about; a family adds what it needs to the group
// it belongs to, never a copy of a service that is already here.

#include <QList>
#include <QString>
#include <functional>

class QAction;
class QObject;
class QWidget;
class TBoard;
class TSite;
class TTavuActionList;
class TTavuBrowser;
class TTavuListDoc;
class TThreadItem;
class IResultView;
class TResList;
class TRes;
class TThreadItemList;
class TToolMenuItem;
namespace Kpwfunc { struct TResSearch; }

class TWindowServices {
public:
    virtual ~TWindowServices() = default;

    // ---- the window and its commands ----
    // The main window, as the parent of dialogs and message boxes.
    virtual QWidget *Window() const = 0;
    // The action of that exact name (nullptr when there is none).
    virtual QAction *Action(const QString &name) const = 0;
    // Connects the action to the handler, marks it as handled and enables it. False when there is
    // no such action.
    virtual bool BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler) = 0;
    // Enables or disables an action that has a handler (one without a handler stays disabled).
    virtual void SetActionEnabled(const QString &name, bool enabled) = 0;
    // The busy indication shared by every request.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

    // ---- tabs ----
    // The current browser tab / thread-list tab (nullptr when none).
    virtual TTavuBrowser *CurrentBrowser() const = 0;
    virtual TTavuListDoc *CurrentListDoc() const = 0;
    // The open tabs, most recently activated first.
    virtual QList<TTavuBrowser *> Browsers() const = 0;
    virtual QList<TTavuListDoc *> ListDocs() const = 0;

    // ---- reading ----
    // Shows the thread in a browser tab (see the thread request flow): reload asks for the new
    // responses also when the thread is open; resNumber is the response to show (0: none).
    virtual void OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber) = 0;
    // Shows the board's thread list in its tab.
    virtual void OpenBoard(TBoard *board, bool reload) = 0;

    // ---- rules ----
    virtual TTavuActionList *ResRules() const = 0;      // ngres.txt
    virtual TTavuActionList *ThreadRules() const = 0;   // ngthread.txt

    // ---- filters, erasing, log search and notices ----
    // The threads of the rows selected in the thread list, in row order.
    virtual QList<TThreadItem *> SelectedThreads() const = 0;
    // Selects the thread's row in the thread list and scrolls it into view; false when the shown
    // list does not hold it.
    virtual bool SelectThreadRow(TThreadItem *item) = 0;
    // The thread list shows the document's rows again (after threads left its list).
    virtual void ThreadListChanged(TTavuListDoc *doc) = 0;
    // A new, activated result tab showing the items (the tab owns the list).
    virtual TTavuListDoc *NewResultListDoc(const QString &caption, TThreadItemList *items) = 0;
    // A new tab with the responses of the current thread tab that match (nullptr, with a warning,
    // when none does).
    virtual TTavuBrowser *FilterResView(const Kpwfunc::TResSearch &search) = 0;
    // Renders the current browser tab again, keeping its place.
    virtual void RefreshResView() = 0;
    // The caption and title labels for the thread (after its comment or counts changed).
    virtual void UpdateStatusCaption(TThreadItem *item) = 0;
    // Shows one response of the thread alone in the window's second browser.
    virtual void ShowResInPreview(TThreadItem *item, const TRes &res) = 0;

    // ---- customisation (skins, key bindings, tools, columns, toolbars) ----
    // skin.ini changed: every open thread tab takes its skin again and is rendered in it.
    virtual void ApplySkinChange() = 0;
    // Every action of the main window, in catalogue order (the names its files store).
    virtual QList<QAction *> WindowActions() const = 0;
    // Builds the external tools at the end of the tools menu from tool.txt, each started by launch
    // when clicked; the menu is built with it again whenever the window reloads its lists.
    virtual void LoadToolsMenu(const std::function<void(TToolMenuItem *)> &launch) = 0;
    // column.txt changed: the thread list shows its columns in the file's order, each keeping the
    // width it had.
    virtual void ReloadThreadListColumns() = 0;
    // toolbar.ini or popup.ini changed: the action toolbars and the popup menus are built again.
    virtual void ReloadToolBarsAndMenus() = 0;
    // shortcut.txt changed: both shortcut bars load it again.
    virtual void ReloadShortcutBars() = 0;
};
