#include "commands/PaneCommands.h"

#include "controls/KpwBoardTree.h"
#include "controls/TavuSplitter.h"
#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// The part of the top splitter the extended thread list takes.
constexpr int ExtThreadListShare = 3;

int Along(const QSplitter *splitter, const QWidget *widget)
{
    return splitter->orientation() == Qt::Horizontal ? widget->width() : widget->height();
}

}  // namespace

TPaneCommands::TPaneCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    auto bind = [this](const char *name, void (TPaneCommands::*handler)()) {
        this->services.BindAction(QString::fromLatin1(name), this, [this, handler] { (this->*handler)(); });
    };
    bind("actShowBoardList2", &TPaneCommands::actShowBoardList2Execute);
    bind("actShowThreadList2", &TPaneCommands::actShowThreadList2Execute);
    bind("actShowBrowser", &TPaneCommands::actShowBrowserExecute);
    bind("actShowVertical", &TPaneCommands::actShowVerticalExecute);
    bind("actShowExtThreadList", &TPaneCommands::actShowExtThreadListExecute);
    bind("actShowPaneChange", &TPaneCommands::actShowPaneChangeExecute);
    bind("actShowBoardListRight", &TPaneCommands::actShowBoardListRightExecute);
    bind("actShowMessage", &TPaneCommands::actShowMessageExecute);
    bind("actShowToolbars", &TPaneCommands::actShowToolbarsExecute);
    bind("actShowBoardFilter", &TPaneCommands::actShowBoardFilterExecute);
    // The tab bars lay out their buttons again.
    services.BindAction(QStringLiteral("actThreadListShowChevronList"), this,
                        [this] { Kpwfunc::UpdateBarWidth(this->services.Panes().ThreadListBar); });
    services.BindAction(QStringLiteral("actBrowserShowChevronList"), this,
                        [this] { Kpwfunc::UpdateBarWidth(this->services.Panes().BrowserBar); });
    services.BindAction(QStringLiteral("actBoardAllExpand"), this, [this] { actBoardAllExpandExecute(true); });
    services.BindAction(QStringLiteral("actBoardAllCollapse"), this, [this] { actBoardAllExpandExecute(false); });
    const std::pair<const char *, TFocusTarget> focus[] = {
        {"actShowBoardListFocus", ftBoardList}, {"actShowThreadListFocus", ftThreadList},
        {"actShowBrowserFocus", ftBrowser},     {"actShowBBSFocus", ftSiteBox},
        {"actShowURLFocus", ftAddressBox},
    };
    for (const auto &[name, target] : focus)
        services.BindAction(QString::fromLatin1(name), this, [this, target = target] { FocusPane(target); });

    const TWindowServices::TPanes panes = services.Panes();
    // The check mark follows the board pane also when the user drags its splitter.
    connect(panes.BoardListSplitter, &TTavuSplitter::OnOpen, this, [this] { SetChecked(QStringLiteral("actShowBoardList2"), true); });
    connect(panes.BoardListSplitter, &TTavuSplitter::OnClose, this, [this] { SetChecked(QStringLiteral("actShowBoardList2"), false); });
    connect(panes.ThreadListSplitter, &QSplitter::splitterMoved, this, &TPaneCommands::ThreadListSplitterMoved);
    if (QLineEdit *filter = panes.BoardFilterCombo->lineEdit())
        connect(filter, &QLineEdit::returnPressed, this, [this] { this->services.RefillBoardTree(); });
    // The hint window goes when the program loses the activation.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        TTavuHintWindow *hint = this->services.HintWindow();
        if (state != Qt::ApplicationActive && hint)
            hint->hide();
    });
}

// ---- helpers ----

bool TPaneCommands::IsChecked(const QString &name) const
{
    const QAction *action = services.Action(name);
    return action && action->isChecked();
}

void TPaneCommands::SetChecked(const QString &name, bool checked)
{
    if (QAction *action = services.Action(name))
        action->setChecked(checked);
}

// Runs another command of the family as its menu entry does (a disabled one does nothing).
void TPaneCommands::Trigger(const QString &name)
{
    if (QAction *action = services.Action(name))
        action->trigger();
}

void TPaneCommands::HidePane(QWidget *pane, int &tag)
{
    const QSplitter *splitter = services.Panes().ThreadListSplitter;
    const int index = splitter->indexOf(pane);
    const int size = index >= 0 ? splitter->sizes().value(index) : 0;
    if (!pane->isHidden() && size > 0)
        tag = size;
    pane->hide();
}

// The pane gets back its size (half of the body when it has none) and the other pane the rest.
void TPaneCommands::ShowPane(QWidget *pane, int tag)
{
    QSplitter *splitter = services.Panes().ThreadListSplitter;
    pane->show();
    splitter->refresh();   // the pane's handle comes back before the sizes are given out
    const int index = splitter->indexOf(pane);
    if (index < 0)
        return;
    if (splitter->count() < 2 || splitter->widget(1 - index)->isHidden())
        return;
    const int total = Along(splitter, splitter) - splitter->handleWidth();
    const int size = tag > 0 && tag < total ? tag : total / 2;
    QList<int> sizes = splitter->sizes();
    sizes[index] = size;
    sizes[1 - index] = std::max(total - size, 0);
    splitter->setSizes(sizes);
}

bool TPaneCommands::PaneCountsAsShown(QWidget *pane, QWidget *tabPanel) const
{
    if (pane->isHidden())
        return false;
    const QSplitter *splitter = qobject_cast<QSplitter *>(pane->parentWidget());
    if (!splitter)
        return true;   // the extended thread list
    if (splitter->orientation() == Qt::Horizontal)
        return pane->width() >= 1;
    return pane->height() > tabPanel->height() + 2;
}

bool TPaneCommands::IsThreadListShown() const
{
    const TWindowServices::TPanes panes = services.Panes();
    return PaneCountsAsShown(panes.ThreadListPanel, panes.ThreadListTabPanel);
}

bool TPaneCommands::IsBrowserShown() const
{
    const TWindowServices::TPanes panes = services.Panes();
    return PaneCountsAsShown(panes.BrowserPanel, panes.BrowserTabPanel);
}

void TPaneCommands::StoreChoices()
{
    TavuConfig->DESKTOP_EXTTHREADLIST = IsChecked(QStringLiteral("actShowExtThreadList"));
    TavuConfig->DESKTOP_SHOWTHREADLIST = IsChecked(QStringLiteral("actShowThreadList2"));
    TavuConfig->DESKTOP_SHOWBROWSER = IsChecked(QStringLiteral("actShowBrowser"));
}

// ---- pane visibility ----

void TPaneCommands::actShowBoardList2Execute()
{
    TTavuSplitter *splitter = services.Panes().BoardListSplitter;
    if (IsChecked(QStringLiteral("actShowBoardList2")))
        splitter->Open();
    else
        splitter->Close();
}

void TPaneCommands::actShowThreadList2Execute()
{
    QWidget *pane = services.Panes().ThreadListPanel;
    if (IsChecked(QStringLiteral("actShowThreadList2"))) {
        ShowPane(pane, threadListTag);
    } else {
        if (!IsChecked(QStringLiteral("actShowBrowser")))
            Trigger(QStringLiteral("actShowBrowser"));   // the body is never empty
        HidePane(pane, threadListTag);
    }
    StoreChoices();
}

void TPaneCommands::actShowBrowserExecute()
{
    QWidget *pane = services.Panes().BrowserPanel;
    if (IsChecked(QStringLiteral("actShowBrowser"))) {
        ShowPane(pane, browserTag);
    } else {
        if (!IsChecked(QStringLiteral("actShowThreadList2")))
            Trigger(QStringLiteral("actShowThreadList2"));
        HidePane(pane, browserTag);
    }
    StoreChoices();
}

void TPaneCommands::ThreadListSplitterMoved()
{
    SetChecked(QStringLiteral("actShowThreadList2"), IsThreadListShown());
    SetChecked(QStringLiteral("actShowBrowser"), IsBrowserShown());
    StoreChoices();
}

// Both panes are shown first; then side by side (the thread list takes half of the width) or one
// above the other (half of the height).
void TPaneCommands::actShowVerticalExecute()
{
    for (const char *name : {"actShowThreadList2", "actShowBrowser"}) {
        if (!IsChecked(QString::fromLatin1(name)))
            Trigger(QString::fromLatin1(name));
    }
    LayOutBody(IsChecked(QStringLiteral("actShowVertical")));
}

void TPaneCommands::LayOutBody(bool sideBySide)
{
    const TWindowServices::TPanes panes = services.Panes();
    QSplitter *splitter = panes.ThreadListSplitter;
    splitter->setOrientation(sideBySide ? Qt::Horizontal : Qt::Vertical);
    if (sideBySide && TavuConfig->BROWSERTAB_POSITION != TavuConfig->THREADTAB_POSITION) {
        TavuConfig->BROWSERTAB_POSITION = TavuConfig->THREADTAB_POSITION;
        services.ApplyTabBarPositions();
    }
    if (splitter->indexOf(panes.ThreadListPanel) != 0)
        return;   // the extended thread list is elsewhere
    const int total = sideBySide ? panes.BodyPanel->width() : panes.BodyPanel->height();
    splitter->setSizes({total / 2, total - total / 2});
}

// The thread-list pane moves out of the body to span the whole width above the rest, with the
// browser shown; the commands that arrange the body wait until it comes back.
void TPaneCommands::actShowExtThreadListExecute()
{
    const TWindowServices::TPanes panes = services.Panes();
    const bool on = IsChecked(QStringLiteral("actShowExtThreadList"));
    if (on) {
        if (!IsChecked(QStringLiteral("actShowBrowser")))
            Trigger(QStringLiteral("actShowBrowser"));
        if (!IsChecked(QStringLiteral("actShowThreadList2")))
            Trigger(QStringLiteral("actShowThreadList2"));
        if (IsChecked(QStringLiteral("actShowVertical")))
            Trigger(QStringLiteral("actShowVertical"));
    }
    for (const char *name : {"actShowBrowser", "actShowPaneChange", "actShowVertical"})
        services.SetActionEnabled(QString::fromLatin1(name), !on);
    if (on) {
        // Before the window is first shown the splitter has no height yet: the window's counts.
        const int total = std::max(panes.TopSplitter->height(), services.Window()->height());
        panes.TopSplitter->insertWidget(0, panes.ThreadListPanel);
        panes.TopSplitter->setSizes({total / ExtThreadListShare, total - total / ExtThreadListShare});
    } else {
        panes.ThreadListSplitter->insertWidget(0, panes.ThreadListPanel);
        LayOutBody(IsChecked(QStringLiteral("actShowVertical")));
    }
    StoreChoices();
}

// Flips between the thread list and the browser in the space of the body.
void TPaneCommands::actShowPaneChangeExecute()
{
    if (TTavuHintWindow *hint = services.HintWindow())
        hint->hide();
    const bool list = IsChecked(QStringLiteral("actShowThreadList2"));
    const bool browser = IsChecked(QStringLiteral("actShowBrowser"));
    if (!list || browser)
        Trigger(QStringLiteral("actShowBrowser"));
    else
        Trigger(QStringLiteral("actShowThreadList2"));
}

void TPaneCommands::actShowBoardListRightExecute()
{
    const TWindowServices::TPanes panes = services.Panes();
    TTavuSplitter *splitter = panes.BoardListSplitter;
    const bool right = IsChecked(QStringLiteral("actShowBoardListRight"));
    const QList<int> sizes = splitter->sizes();
    const int boardSize = sizes.value(splitter->PaneIndex);
    splitter->PaneIndex = right ? 1 : 0;
    splitter->insertWidget(splitter->PaneIndex, panes.BoardListPanel);
    const int total = sizes.value(0) + sizes.value(1);
    splitter->setSizes(right ? QList<int>{total - boardSize, boardSize} : QList<int>{boardSize, total - boardSize});
    TavuConfig->DESKTOP_BOARDLISTSHOWRIGHT = right;
}

void TPaneCommands::actShowMessageExecute()
{
    services.Panes().MessagePanel->setVisible(IsChecked(QStringLiteral("actShowMessage")));
}

void TPaneCommands::actShowToolbarsExecute()
{
    const bool hide = IsChecked(QStringLiteral("actShowToolbars"));
    for (QToolBar *bar : services.Panes().HeaderBars)
        bar->setVisible(!hide);
}

void TPaneCommands::actShowBoardFilterExecute()
{
    QComboBox *filter = services.Panes().BoardFilterCombo;
    filter->setVisible(IsChecked(QStringLiteral("actShowBoardFilter")));
    if (filter->isVisible())
        filter->setFocus();
}

void TPaneCommands::actBoardAllExpandExecute(bool expand)
{
    QTreeWidget *tree = services.Panes().BoardListView;
    tree->setUpdatesEnabled(false);
    if (expand)
        tree->expandAll();
    else
        tree->collapseAll();
    tree->setUpdatesEnabled(true);
}

// ---- focus ----

void TPaneCommands::FocusPane(TFocusTarget target)
{
    const TWindowServices::TPanes panes = services.Panes();
    QWidget *focus = nullptr;
    switch (target) {
    case ftBoardList:
        if (!IsChecked(QStringLiteral("actShowBoardList2")))
            Trigger(QStringLiteral("actShowBoardList2"));
        focus = panes.BoardListView;
        break;
    case ftThreadList:
        if (!IsChecked(QStringLiteral("actShowThreadList2")))
            Trigger(QStringLiteral("actShowThreadList2"));
        focus = panes.ThreadListView;
        break;
    case ftBrowser:
        if (!IsChecked(QStringLiteral("actShowBrowser")))
            Trigger(QStringLiteral("actShowBrowser"));
        if (TTavuBrowser *tab = services.CurrentBrowser())
            focus = tab;
        else
            focus = panes.BrowserPanel;
        break;
    case ftSiteBox:
        if (!IsChecked(QStringLiteral("actShowBoardList2")))
            Trigger(QStringLiteral("actShowBoardList2"));
        focus = panes.SiteComboBox;
        break;
    case ftAddressBox:
        focus = panes.UrlComboBox;
        break;
    }
    if (!focus)
        return;
    focus->setFocus(Qt::ShortcutFocusReason);
    if (focus->isVisible())
        QCursor::setPos(focus->mapToGlobal(focus->rect().center()));
}

void TPaneCommands::FocusTimerTimer()
{
    QWidget *window = services.Window();
    if (!window->isActiveWindow())
        return;
    QWidget *under = QApplication::widgetAt(QCursor::pos());
    if (!under || under == window || under->window() != window)
        return;
    const TTavuHintWindow *hint = services.HintWindow();
    if (hint && (under == hint || hint->isAncestorOf(under)))
        return;
    // The control that takes the focus: the widget itself or its nearest parent that accepts it.
    QWidget *target = under;
    while (target && target != window && target->focusPolicy() == Qt::NoFocus)
        target = target->parentWidget();
    if (!target || target == window || target->hasFocus() || target->isAncestorOf(QApplication::focusWidget()))
        return;
    target->setFocus(Qt::MouseFocusReason);
}
