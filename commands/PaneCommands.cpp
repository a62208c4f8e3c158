#include "commands/PaneCommands.h"

#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "render/TavuHintWindow.h"

#include <QAction>
#include <QApplication>
#include <QCursor>

TPaneCommands::TPaneCommands(TWindowFrameServices &frame, TThreadViewServices &views, TBoardTreeServices &boards,
                             TLayoutServices &layout, TBarServices &bars, QObject *parent)
    : QObject(parent), frame(frame), views(views), boards(boards), layout(layout), bars(bars)
{
    auto bind = [this](const char *name, void (TPaneCommands::*handler)()) {
        this->frame.BindAction(QString::fromLatin1(name), this, [this, handler] { (this->*handler)(); });
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
    frame.BindAction(QStringLiteral("actThreadListShowChevronList"), this,
                        [this] { this->layout.LayOutTabBar(TLayoutServices::bpThreadList); });
    frame.BindAction(QStringLiteral("actBrowserShowChevronList"), this,
                        [this] { this->layout.LayOutTabBar(TLayoutServices::bpBrowser); });
    frame.BindAction(QStringLiteral("actBoardAllExpand"), this, [this] { actBoardAllExpandExecute(true); });
    frame.BindAction(QStringLiteral("actBoardAllCollapse"), this, [this] { actBoardAllExpandExecute(false); });
    const std::pair<const char *, TFocusTarget> focus[] = {
        {"actShowBoardListFocus", TBarServices::pcBoardTree},
        {"actShowThreadListFocus", TBarServices::pcThreadList},
        {"actShowBrowserFocus", TBarServices::pcBrowser},
        {"actShowBBSFocus", TBarServices::pcSiteBox},
        {"actShowURLFocus", TBarServices::pcAddressBox},
    };
    for (const auto &[name, target] : focus)
        frame.BindAction(QString::fromLatin1(name), this, [this, target = target] { FocusPane(target); });

    // The check mark follows the board pane also when the user drags its splitter.
    connect(&frame.Events(), &TWindowEvents::BoardPaneToggled, this,
            [this](bool open) { SetChecked(QStringLiteral("actShowBoardList2"), open); });
    connect(&frame.Events(), &TWindowEvents::BodySplitterMoved, this, [this] { ThreadListSplitterMoved(); });
    connect(&frame.Events(), &TWindowEvents::BoardFilterEntered, this, [this] { this->boards.RefillBoardTree(); });
    // The hint window goes when the program loses the activation.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        TTavuHintWindow *hint = this->views.HintWindow();
        if (state != Qt::ApplicationActive && hint)
            hint->hide();
    });
}

// ---- helpers ----

bool TPaneCommands::IsChecked(const QString &name) const
{
    const QAction *action = frame.Action(name);
    return action && action->isChecked();
}

void TPaneCommands::SetChecked(const QString &name, bool checked)
{
    if (QAction *action = frame.Action(name))
        action->setChecked(checked);
}

// Runs another command of the family as its menu entry does (a disabled one does nothing).
void TPaneCommands::Trigger(const QString &name)
{
    if (QAction *action = frame.Action(name))
        action->trigger();
}

void TPaneCommands::HidePane(TLayoutServices::TBodyPane pane, int &tag)
{
    if (const int size = layout.HideBodyPane(pane))
        tag = size;
}

bool TPaneCommands::IsThreadListShown() const
{
    return layout.BodyPaneShown(TLayoutServices::bpThreadList);
}

bool TPaneCommands::IsBrowserShown() const
{
    return layout.BodyPaneShown(TLayoutServices::bpBrowser);
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
    layout.ShowBoardPane(IsChecked(QStringLiteral("actShowBoardList2")));
}

void TPaneCommands::actShowThreadList2Execute()
{
    if (IsChecked(QStringLiteral("actShowThreadList2"))) {
        layout.ShowBodyPane(TLayoutServices::bpThreadList, threadListTag);
    } else {
        if (!IsChecked(QStringLiteral("actShowBrowser")))
            Trigger(QStringLiteral("actShowBrowser"));   // the body is never empty
        HidePane(TLayoutServices::bpThreadList, threadListTag);
    }
    StoreChoices();
}

void TPaneCommands::actShowBrowserExecute()
{
    if (IsChecked(QStringLiteral("actShowBrowser"))) {
        layout.ShowBodyPane(TLayoutServices::bpBrowser, browserTag);
    } else {
        if (!IsChecked(QStringLiteral("actShowThreadList2")))
            Trigger(QStringLiteral("actShowThreadList2"));
        HidePane(TLayoutServices::bpBrowser, browserTag);
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

// Side by side, both tab bars stand on the same side of their panes.
void TPaneCommands::LayOutBody(bool sideBySide)
{
    if (sideBySide && TavuConfig->BROWSERTAB_POSITION != TavuConfig->THREADTAB_POSITION) {
        TavuConfig->BROWSERTAB_POSITION = TavuConfig->THREADTAB_POSITION;
        layout.ApplyTabBarPositions();
    }
    layout.LayOutBody(sideBySide);
}

// The thread-list pane moves out of the body to span the whole width above the rest, with the
// browser shown; the commands that arrange the body wait until it comes back.
void TPaneCommands::actShowExtThreadListExecute()
{
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
        frame.SetActionEnabled(QString::fromLatin1(name), !on);
    layout.SpanThreadList(on);
    if (!on)
        LayOutBody(IsChecked(QStringLiteral("actShowVertical")));
    StoreChoices();
}

// Flips between the thread list and the browser in the space of the body.
void TPaneCommands::actShowPaneChangeExecute()
{
    if (TTavuHintWindow *hint = views.HintWindow())
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
    const bool right = IsChecked(QStringLiteral("actShowBoardListRight"));
    layout.PutBoardPaneRight(right);
    TavuConfig->DESKTOP_BOARDLISTSHOWRIGHT = right;
}

void TPaneCommands::actShowMessageExecute()
{
    layout.ShowLogPane(IsChecked(QStringLiteral("actShowMessage")));
}

void TPaneCommands::actShowToolbarsExecute()
{
    bars.ShowHeaderBars(!IsChecked(QStringLiteral("actShowToolbars")));
}

void TPaneCommands::actShowBoardFilterExecute()
{
    boards.ShowBoardFilter(IsChecked(QStringLiteral("actShowBoardFilter")));
}

void TPaneCommands::actBoardAllExpandExecute(bool expand)
{
    boards.ExpandBoardTree(expand);
}

// ---- focus ----

// The pane of the control is opened first when it is closed (the address box is always there).
void TPaneCommands::FocusPane(TFocusTarget target)
{
    const char *pane = nullptr;
    switch (target) {
    case TBarServices::pcBoardTree:
    case TBarServices::pcSiteBox:
        pane = "actShowBoardList2";
        break;
    case TBarServices::pcThreadList:
        pane = "actShowThreadList2";
        break;
    case TBarServices::pcBrowser:
        pane = "actShowBrowser";
        break;
    case TBarServices::pcAddressBox:
        break;
    }
    if (pane && !IsChecked(QString::fromLatin1(pane)))
        Trigger(QString::fromLatin1(pane));
    bars.FocusControl(target);
}

void TPaneCommands::FocusTimerTimer()
{
    QWidget *window = frame.Window();
    if (!window->isActiveWindow())
        return;
    QWidget *under = QApplication::widgetAt(QCursor::pos());
    if (!under || under == window || under->window() != window)
        return;
    const TTavuHintWindow *hint = views.HintWindow();
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
