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

    // ---- sites and boards ----
    // The site the board tree shows (nullptr when none).
    virtual TSite *CurrentSite() const = 0;
    // Shows the site in the board tree, its boards read anew from the site's board list.
    virtual void ShowSiteBoards(TSite *site) = 0;
    // True (after telling the user) while requests, update checks or patrols may hold boards:
    // board lists must not be rebuilt meanwhile.
    virtual bool BoardListsBusy() = 0;
    // Selects the first node of the board tree whose text contains the text (ignoring case), from the
    // top or from the node after the current one; false when there is none.
    virtual bool FindInBoardTree(const QString &text, bool fromNext) = 0;
    // The board of the board tree's current node (nullptr when it is no board).
    virtual TBoard *SelectedTreeBoard() const = 0;
    // The threads of the selected rows of the shown thread list, in row order.
    virtual QList<TThreadItem *> SelectedThreads() const = 0;
    // A thread's marks changed (favourite, past log ...): its rows and the commands show it.
    virtual void ThreadStateChanged(TThreadItem *item) = 0;
    // shortcut.txt changed: the shortcut bars show it again.
    virtual void ShortcutsChanged() = 0;

    // ---- rules ----
    virtual TTavuActionList *ResRules() const = 0;      // ngres.txt
    virtual TTavuActionList *ThreadRules() const = 0;   // ngthread.txt
};
