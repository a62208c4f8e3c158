#pragma once
// Kpwfunc::ShowOptionDialog: the one way the option dialog is shown. The dialog is made for one
// showing: the configuration is saved first (the dialog reads kpw.ini again), the dialog opens at
// the start page and, when the user confirms it, the configuration is saved once more and the main
// window takes the new settings (thread-list repaint, tool bars, tab-bar positions, BBS bar, focus
// timer) and tells the command units (TVarneloWindow::OptionsApplied).

namespace Kpwfunc {

// page: TOptionDialog::TPage (0 from the option command, 3 and 4 from the board-list and
// thread-item popup menus, 8 from the site function menu). True when the dialog ended with OK.
bool ShowOptionDialog(int page);

// Applies the settings the dialog edits to the main window (nothing without one).
void ApplyOptionsToWindow();

}  // namespace Kpwfunc
