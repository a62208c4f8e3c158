#include "controls/PaneLooks.h"

#include "controls/BoardTree.h"
#include "controls/ShortcutBar.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/Colors.h"
#include "core/TavuConfig.h"

#include <QAction>
#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <algorithm>

namespace PaneLooks {

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

void ApplyThreadTitlePanelLook(QWidget &panel, QWidget &browserPane, QWidget &browser)
{
    QPalette colours = panel.palette();
    colours.setColor(QPalette::Window, ColorOf(TavuConfig->THREADTITLEPANELCOLOR));
    colours.setColor(QPalette::WindowText, ColorOf(TavuConfig->THREADTITLETEXTCOLOR));
    panel.setPalette(colours);
    panel.setFixedHeight(std::max(TavuConfig->THREADTITLESIZE, panel.fontMetrics().height()));   // never cuts the text

    enum { tpAbove, tpBelow, tpHidden };
    auto *column = static_cast<QBoxLayout *>(browserPane.layout());
    column->removeWidget(&panel);
    const int at = column->indexOf(&browser);
    column->insertWidget(TavuConfig->THREADTITLEPANEL == tpBelow ? at + 1 : at, &panel);
    panel.setVisible(TavuConfig->THREADTITLEPANEL != tpHidden);
}

void BindPaneLooks(TWindowFrameServices &frame, const TPaneLookParts &parts)
{
    const auto apply = [&frame, parts] {
        ApplyLogPaneLook(*parts.LogPane);
        for (TTavuShortcutBar *bar : parts.ShortcutBars)
            ApplyShortcutBarLook(*bar);
        parts.BoardTree->setFont(FontOf(TavuConfig->BOARDLISTFONTNAME, TavuConfig->BOARDLISTFONTSIZE));
        BoardTree::PaintBoardTree(parts.BoardTree);
        ApplyThreadTitlePanelLook(*parts.TitlePanel, *parts.BrowserPane, *parts.Browser);
        frame.Action(QStringLiteral("act2chHeee"))->setVisible(TavuConfig->CHBOX_USEHE);
    };
    apply();
    QObject::connect(&frame.Events(), &TWindowEvents::OptionsApplied, parts.LogPane, apply);
}

}  // namespace PaneLooks
