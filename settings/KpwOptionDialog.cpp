#include "settings/KpwOptionDialog.h"

#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "mainwindow/BoardTreeImages.h"
#include "mainwindow/KpwUserFiles.h"
#include "mainwindow/VarneloWindow.h"
#include "render/TavuHintWindow.h"
#include "settings/OptionDialog.h"

#include <QTimer>

namespace Kpwfunc {

namespace {

// Saves the configuration; a failure is shown and false comes back.
bool SaveConfig()
{
    try {
        TavuConfig->Save();
        return true;
    } catch (const EVarnelo &error) {
        ShowMessage(mkError, error.Message);
        return false;
    }
}

}  // namespace

bool ShowOptionDialog(int page)
{
    if (VarneloWindow && VarneloWindow->HintWindow)
        VarneloWindow->HintWindow->hide();
    // The dialog reads kpw.ini again: settings that could not be saved would be lost.
    if (!SaveConfig())
        return false;
    TOptionDialog dialog(VarneloWindow);
    dialog.StartPage = page;
    if (ExecDialog(dialog) != QDialog::Accepted)
        return false;
    SaveConfig();
    ApplyOptionsToWindow();
    return true;
}

void ApplyOptionsToWindow()
{
    TVarneloWindow *window = VarneloWindow;
    if (!window)
        return;
    if (window->ThreadListView)
        window->ThreadListView->viewport()->update();
    window->BuildToolBars();
    window->ApplyTabBarPositions();
    if (TavuEnviron && TavuEnviron->SiteList())
        LoadBBSBar(window->BBSToolBar, TavuConfig->GetProfileDir() + QStringLiteral("bbsbar.txt"),
                   *TavuEnviron->SiteList(), BoardTreeImages::SiteImages(),
                   [window](TSite *site) { window->SelectSite(site); });
    if (TavuConfig->AUTOACTIVE)
        window->FocusTimer->start();
    else
        window->FocusTimer->stop();
    emit window->OptionsApplied();
}

}  // namespace Kpwfunc
