#include "commands/CustomiseCommands.h"

#include "controls/Dialogs.h"
#include "controls/KpwServices.h"
#include "controls/TabMenuItem.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "services/SkinAssignments.h"
#include "settings/BasicAuthorizationForm.h"
#include "settings/CleanDialog.h"
#include "settings/ColumnDialog.h"
#include "settings/CustomPopupMenuDialog.h"
#include "settings/CustomToolbarDialog.h"
#include "settings/KeyBindDialog.h"
#include "settings/ShortcutEditor.h"
#include "settings/SkinDialog.h"
#include "settings/ToolDialog.h"

#include <QProcess>

TCustomiseCommands::TCustomiseCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actToolSkin"), this, [this] { actToolSkinExecute(); });
    services.BindAction(QStringLiteral("actToolKeyBind"), this, [this] { actToolKeyBindExecute(); });
    services.BindAction(QStringLiteral("actToolToolConfig"), this, [this] { actToolToolConfigExecute(); });
    services.BindAction(QStringLiteral("actToolColEdit"), this, [this] { actToolColEditExecute(); });
    services.BindAction(QStringLiteral("actToolCustomizeToolBar"), this, [this] { actToolCustomizeToolBarExecute(); });
    services.BindAction(QStringLiteral("actToolCustomizePopupMenu"), this, [this] { actToolCustomizePopupMenuExecute(); });
    services.BindAction(QStringLiteral("actToolBasicAuthor"), this, [this] { actToolBasicAuthorExecute(); });
    services.BindAction(QStringLiteral("actToolClearLog"), this, [this] { actToolClearLogExecute(); });
    services.BindAction(QStringLiteral("actShortcutEdit"), this, [this] { actShortcutEditExecute(); });
}

void TCustomiseCommands::actToolSkinExecute()
{
    TSkinAssignments skins(TavuConfig->GetProfileDir());
    TSkinDialog dialog(skins, services.Window());
    Kpwfunc::ExecDialog(dialog);
    services.ApplySkinChange();
}

void TCustomiseCommands::actToolKeyBindExecute()
{
    TKeyBindDialog dialog(services.WindowActions(), services.Window());
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    TavuConfig->Save();
    Kpwfunc::ApplyShortcutKeys(TavuConfig->Ini, services.WindowActions());
}

void TCustomiseCommands::actToolToolConfigExecute()
{
    TToolDialog dialog(TavuConfig->GetProfileDir() + QStringLiteral("tool.txt"), services.Window());
    Kpwfunc::ExecDialog(dialog);
    services.ReloadToolsMenu();
}

void TCustomiseCommands::actToolColEditExecute()
{
    TColumnDialog dialog(TavuConfig->GetProfileDir() + QStringLiteral("column.txt"), services.Window());
    if (Kpwfunc::ExecDialog(dialog) == QDialog::Accepted)
        services.ReloadThreadListColumns();
}

void TCustomiseCommands::actToolCustomizeToolBarExecute()
{
    TCustomToolbarDialog dialog(services.WindowActions(), TavuConfig->GetProfileDir() + QStringLiteral("toolbar.ini"),
                                services.Window());
    if (Kpwfunc::ExecDialog(dialog) == QDialog::Accepted)
        services.ReloadToolBarsAndMenus();
}

void TCustomiseCommands::actToolCustomizePopupMenuExecute()
{
    TCustomPopupMenuDialog dialog(services.WindowActions(), TavuConfig->GetProfileDir() + QStringLiteral("popup.ini"),
                                  services.Window());
    if (Kpwfunc::ExecDialog(dialog) == QDialog::Accepted)
        services.ReloadToolBarsAndMenus();
}

void TCustomiseCommands::actToolBasicAuthorExecute()
{
    TBasicAuthorizationForm dialog(services.Window());
    Kpwfunc::ExecDialog(dialog);
}

void TCustomiseCommands::actToolClearLogExecute()
{
    TCleanDialog dialog(services.Window());
    Kpwfunc::ExecDialog(dialog);
}

void TCustomiseCommands::actShortcutEditExecute()
{
    TShortcutEditor editor(Kpwfunc::ShortcutFileName(), services.Window());
    Kpwfunc::ExecDialog(editor);
    if (editor.Editing.Saved)
        services.ShortcutsChanged();
}
