#include "mainwindow/KpwPaneLooks.h"

#include "controls/ShortcutBar.h"
#include "controls/TavuSplitter.h"
#include "core/Colors.h"
#include "core/TavuConfig.h"
#include "mainwindow/VarneloWindow.h"

#include <QAction>
#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <algorithm>

namespace Kpwfunc {

namespace {

QColor ColorOf(TColor color)
{
    return QColor::fromRgba(ColorToQColor(color));
}

// A stored font: its name and a size in points (a size below 1 is taken as 1).
QFont FontOf(const QString &name, int size)
{
    QFont font(name);
    font.setPointSize(std::max(1, size));
    return font;
}

}  // namespace

void ApplyLogPaneLook(QPlainTextEdit &memo)
{
    QPalette colours = memo.palette();
    colours.setColor(QPalette::Base, ColorOf(TavuConfig->DESKTOP_LOGBACKCOLOR));
    colours.setColor(QPalette::Text, ColorOf(TavuConfig->DESKTOP_LOGFONTCOLOR));
    memo.setPalette(colours);
    memo.setFont(FontOf(TavuConfig->DESKTOP_LOGFONTNAME, TavuConfig->DESKTOP_LOGFONTSIZE));
}

void ApplyShortcutBarLook(TTavuShortcutBar &bar)
{
    bar.SetButtonLook(FontOf(TavuConfig->SHORTCUTBARFONTNAME, TavuConfig->SHORTCUTBARFONTSIZE),
                      ColorOf(TavuConfig->SHORTCUTBARFONTCOLOR));
}

void ApplyThreadTitlePanelLook(TVarneloWindow &window)
{
    QWidget *panel = window.ThreadTitlePanel;
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, ColorOf(TavuConfig->THREADTITLEPANELCOLOR));
    colours.setColor(QPalette::WindowText, ColorOf(TavuConfig->THREADTITLETEXTCOLOR));
    panel->setPalette(colours);

    enum { tpAbove, tpBelow, tpHidden };
    auto *column = static_cast<QBoxLayout *>(window.BrowserPanel->layout());
    column->removeWidget(panel);
    const int browser = column->indexOf(window.ImagePaneSplitter);   // the browser with its side panes
    column->insertWidget(TavuConfig->THREADTITLEPANEL == tpBelow ? browser + 1 : browser, panel);
    panel->setVisible(TavuConfig->THREADTITLEPANEL != tpHidden);
}

void BindPaneLooks(TVarneloWindow &window)
{
    const auto apply = [&window] {
        ApplyLogPaneLook(*window.Memo1);
        ApplyShortcutBarLook(*window.ShortcutBar1);
        ApplyShortcutBarLook(*window.ShortcutBar3);
        window.BoardListView->setFont(FontOf(TavuConfig->BOARDLISTFONTNAME, TavuConfig->BOARDLISTFONTSIZE));
        ApplyThreadTitlePanelLook(window);
        window.Action(QStringLiteral("act2chHeee"))->setVisible(TavuConfig->CHBOX_USEHE);
    };
    apply();
    QObject::connect(&window, &TVarneloWindow::OptionsApplied, &window, apply);
}

}  // namespace Kpwfunc
