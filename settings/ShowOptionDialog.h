#pragma once
// OptionDialog::ShowOptionDialog: the one way the option dialog is shown. The dialog is made for one
// showing: the configuration is saved first (the dialog reads kpw.ini again), the dialog opens at
// the start page and, when the user confirms it, the configuration is saved once more. The main
// window then takes the new settings (TVarneloWindow::ShowOptions).

class QWidget;

namespace OptionDialog {

// page: TOptionDialog::TPage (0 from the option command, 3 and 4 from the board-list and
// thread-item popup menus, 8 from the site function menu). True when the dialog ended with OK.
bool ShowOptionDialog(int page, QWidget *parent = nullptr);

}  // namespace OptionDialog
