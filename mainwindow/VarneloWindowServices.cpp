#include "mainwindow/VarneloWindowServices.h"

#include "mainwindow/VarneloWindow.h"

#include "commands/ShortcutBarCommands.h"
#include "controls/BarsAndMenus.h"
#include "controls/WindowEvents.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "flows/ThreadController.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/BoardPane.h"
#include "mainwindow/ListPane.h"
#include "render/TavuBrowser.h"

#include <QComboBox>
#include <QLineEdit>
#include <QCursor>
#include <QMenu>

void TVarneloWindowServices::BindEvents()
{
    TWindowEvents *events = window.events;
    QObject::connect(window.panes.get(), &TPaneLayout::BoardPaneToggled, events, &TWindowEvents::BoardPaneToggled);
    QObject::connect(window.panes.get(), &TPaneLayout::BodySplitterMoved, events, &TWindowEvents::BodySplitterMoved);
    if (QLineEdit *filter = window.BoardPane().FilterBox()->lineEdit())
        QObject::connect(filter, &QLineEdit::returnPressed, events, &TWindowEvents::BoardFilterEntered);
    window.panes->SendLogLinesTo(*events);
}

// ---- thread views (TThreadViewServices) ----

void TVarneloWindowServices::AddLog(const QString &text)
{
    EventLog::AddLog(text);
}

void TVarneloWindowServices::UpdateBrowserMenu()
{
    window.UpdateBrowserMenu();
}

void TVarneloWindowServices::UpdateStatusCaption(TThreadItem *item)
{
    window.UpdateStatusCaption(item);
}

void TVarneloWindowServices::RefreshResView()
{
    window.Threads->RefreshResView();
}

void TVarneloWindowServices::RenderResList(IResultView *view, TResList *list)
{
    window.Threads->RenderResList(view, list);
}

TTavuHintWindow *TVarneloWindowServices::HintWindow() const
{
    return window.HintWindow;
}

QTimer *TVarneloWindowServices::HtmlPopupTimer() const
{
    return window.HtmlPopupTimer;
}

QMenu *TVarneloWindowServices::BrowserSelectionMenu() const
{
    return window.BrowserSelectionMenu;
}

QMenu *TVarneloWindowServices::BrowserPopupMenu() const
{
    return window.BrowserPopup;
}

void TVarneloWindowServices::PopupResMenu()
{
    window.ResPopup->popup(QCursor::pos());
}

void TVarneloWindowServices::PopupResIDMenu()
{
    window.ResIDPopup->popup(QCursor::pos());
}

void TVarneloWindowServices::TypeAddress(const QString &text)
{
    window.UrlComboBox->setEditText(text);
    window.UrlComboBox->setFocus();
}

// ---- boards (TBoardServices) ----

void TVarneloWindowServices::ReloadBBSBar()
{
    window.LoadBBSBar();
}

void TVarneloWindowServices::ThreadStateChanged(TThreadItem *item)
{
    window.ListPane().RefreshThreadListItem(item);
    window.UpdateThreadListMenu();
    window.UpdateBrowserMenu();
}

void TVarneloWindowServices::ShortcutsChanged()
{
    window.shortcutBars->LoadShortcutBars();
}

void TVarneloWindowServices::UpdateBoardListMenu()
{
    window.UpdateBoardListMenu();
}

void TVarneloWindowServices::UpdateThreadListMenu()
{
    window.UpdateThreadListMenu();
}

void TVarneloWindowServices::ShowNewThreadCount(int count)
{
    window.ShowNewThreadCount(count);
}

bool TVarneloWindowServices::UpdateCheckRunning() const
{
    return window.UpdateChecks && window.UpdateChecks->CheckRunning;
}

bool TVarneloWindowServices::StopCheckOf(TTavuListDoc *doc)
{
    return window.UpdateChecks->StopCheckOf(doc);
}
