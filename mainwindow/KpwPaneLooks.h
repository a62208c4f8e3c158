#pragma once
// The colours and fonts that the option dialog sets for two parts of the main window: the log
// pane (section DESKTOP: LOGBACKCOLOR, LOGFONTCOLOR, LOGFONTNAME, LOGFONTSIZE) and the captions of
// the shortcut bars (SHORTCUTBARFONTCOLOR, SHORTCUTBARFONTNAME, SHORTCUTBARFONTSIZE). Stored
// colours go through ColorToQColor, so system colour names such as clWindow come out as the
// program draws them everywhere else.

class QPlainTextEdit;
class TTavuShortcutBar;
class TVarneloWindow;

namespace Kpwfunc {

// The log pane's background, text colour and font from the configuration.
void ApplyLogPaneLook(QPlainTextEdit &memo);
// The shortcut buttons' text colour and font from the configuration.
void ApplyShortcutBarLook(TTavuShortcutBar &bar);

// Gives the window's log pane and both shortcut bars their look now and again each time the
// option dialog is confirmed (TVarneloWindow::OptionsApplied).
void BindPaneLooks(TVarneloWindow &window);

}  // namespace Kpwfunc
