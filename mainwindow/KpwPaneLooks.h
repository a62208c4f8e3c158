#pragma once
// What the option dialog sets for the look of parts of the main window: the log pane (section
// DESKTOP: LOGBACKCOLOR, LOGFONTCOLOR, LOGFONTNAME, LOGFONTSIZE), the captions of the shortcut bars
// (SHORTCUTBARFONTCOLOR, SHORTCUTBARFONTNAME, SHORTCUTBARFONTSIZE), the board tree's font
// (BOARDLISTFONTNAME, BOARDLISTFONTSIZE), the thread title panel
// (THREADTITLEPANELCOLOR, THREADTITLETEXTCOLOR, THREADTITLEPANEL) and whether the vote button
// "へぇボタン" shows (CHBOX USEHE). Stored colours go through ColorToQColor, so system colour
// names such as clWindow come out as the program draws them everywhere else.

class QPlainTextEdit;
class TTavuShortcutBar;
class TVarneloWindow;

namespace Kpwfunc {

// The log pane's background, text colour and font from the configuration.
void ApplyLogPaneLook(QPlainTextEdit &memo);
// The shortcut buttons' text colour and font from the configuration.
void ApplyShortcutBarLook(TTavuShortcutBar &bar);

// The title panel's colours and place: above the browser (0, also for an unknown value), below
// it (1) or hidden (2).
void ApplyThreadTitlePanelLook(TVarneloWindow &window);

// Gives the window all of the above now and again each time the option dialog is confirmed
// (TVarneloWindow::OptionsApplied).
void BindPaneLooks(TVarneloWindow &window);

}  // namespace Kpwfunc
