#include "settings/ShowOptionDialog.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "settings/OptionDialog.h"


namespace OptionDialog {

namespace {

// Saves the configuration; a failure is shown and false comes back.
bool SaveConfig()
{
    try {
        TavuConfig->Save();
        return true;
    } catch (const EVarnelo &error) {
        Dialogs::ShowMessage(Dialogs::mkError, error.Message);
        return false;
    }
}

}  // namespace

bool ShowOptionDialog(int page, QWidget *parent)
{
    // The dialog reads kpw.ini again: settings that could not be saved would be lost.
    if (!SaveConfig())
        return false;
    TOptionDialog dialog(parent);
    dialog.StartPage = page;
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return false;
    SaveConfig();
    return true;
}

}  // namespace OptionDialog
