#pragma once
// What the option dialog sets for the look of parts of the main window: the log pane (section
// DESKTOP: LOGBACKCOLOR, LOGFONTCOLOR, LOGFONTNAME, LOGFONTSIZE), the captions of the shortcut bars
// (SHORTCUTBARFONTCOLOR, SHORTCUTBARFONTNAME, SHORTCUTBARFONTSIZE), the board tree's font and
// colours (BOARDLISTFONTNAME, BOARDLISTFONTSIZE, CATEGORYBKCOLOR, BOARDLISTBKCOLOR, BOARDTEXTCOLOR),
// the thread title panel (THREADTITLEPANELCOLOR, THREADTITLETEXTCOLOR, THREADTITLESIZE,
// THREADTITLEPANEL) and whether the vote button "へぇボタン" shows (CHBOX USEHE). Stored colours go
// through ColorToQColor, so system colour names such as clWindow come out as the program draws them
// everywhere else.

#include <QList>

class QPlainTextEdit;
class QTreeWidget;
class QWidget;
class TTavuShortcutBar;
class TWindowFrameServices;

namespace PaneLooks {

// The log pane's background, text colour and font from the configuration.
void ApplyLogPaneLook(QPlainTextEdit &memo);
// The shortcut buttons' text colour and font from the configuration.
void ApplyShortcutBarLook(TTavuShortcutBar &bar);

// The title panel's colours, height (THREADTITLESIZE, at least a line of text) and place in the
// browser pane's column: above the browser with its side panes (0, also for an unknown value),
// below it (1) or hidden (2).
void ApplyThreadTitlePanelLook(QWidget &panel, QWidget &browserPane, QWidget &browser);

// The parts of the main window whose looks the option dialog sets.
struct TPaneLookParts {
    QPlainTextEdit *LogPane = nullptr;
    QList<TTavuShortcutBar *> ShortcutBars;
    QTreeWidget *BoardTree = nullptr;
    QWidget *TitlePanel = nullptr;
    QWidget *BrowserPane = nullptr;   // its layout is the column the title panel goes into
    QWidget *Browser = nullptr;       // the browser with its side panes, in that column
};

// Gives the parts all of the above now and again each time the window has taken the settings
// confirmed in the option dialog; the vote button is the action act2chHeee.
void BindPaneLooks(TWindowFrameServices &frame, const TPaneLookParts &parts);

}  // namespace PaneLooks
