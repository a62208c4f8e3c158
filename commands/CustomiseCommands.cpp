#include "commands/CustomiseCommands.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
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

TCustomiseCommands::TCustomiseCommands(TWindowFrameServices &frame, TBoardServices &boards,
                                       TThreadListServices &threadList, TBarServices &bars,
                                       QObject *parent)
    : QObject(parent), frame(frame), boards(boards), threadList(threadList), bars(bars)
{
    frame.BindAction(QStringLiteral("actToolSkin"), this, [this] { actToolSkinExecute(); });
    frame.BindAction(QStringLiteral("actToolKeyBind"), this, [this] { actToolKeyBindExecute(); });
    frame.BindAction(QStringLiteral("actToolToolConfig"), this, [this] { actToolToolConfigExecute(); });
    frame.BindAction(QStringLiteral("actToolColEdit"), this, [this] { actToolColEditExecute(); });
    frame.BindAction(QStringLiteral("actToolCustomizeToolBar"), this, [this] { actToolCustomizeToolBarExecute(); });
    frame.BindAction(QStringLiteral("actToolCustomizePopupMenu"), this, [this] { actToolCustomizePopupMenuExecute(); });
    frame.BindAction(QStringLiteral("actToolBasicAuthor"), this, [this] { actToolBasicAuthorExecute(); });
    frame.BindAction(QStringLiteral("actToolClearLog"), this, [this] { actToolClearLogExecute(); });
    frame.BindAction(QStringLiteral("actShortcutEdit"), this, [this] { actShortcutEditExecute(); });
}

void TCustomiseCommands::actToolSkinExecute()
{
    TSkinAssignments skins(TavuConfig->GetProfileDir());
    TSkinDialog dialog(skins, frame.Window());
    Dialogs::ExecDialog(dialog);
    bars.ApplySkinChange();
}

void TCustomiseCommands::actToolKeyBindExecute()
{
    TKeyBindDialog dialog(frame.WindowActions(), frame.Window());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    TavuConfig->Save();
    BarsAndMenus::ApplyShortcutKeys(TavuConfig->Ini, frame.WindowActions());
}

void TCustomiseCommands::actToolToolConfigExecute()
{
    TToolDialog dialog(TavuConfig->GetProfileDir() + QStringLiteral("tool.txt"), frame.Window());
    Dialogs::ExecDialog(dialog);
    bars.ReloadToolsMenu();
}

void TCustomiseCommands::actToolColEditExecute()
{
    TColumnDialog dialog(TavuConfig->GetProfileDir() + QStringLiteral("column.txt"), frame.Window());
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        threadList.ReloadThreadListColumns();
}

void TCustomiseCommands::actToolCustomizeToolBarExecute()
{
    TCustomToolbarDialog dialog(frame.WindowActions(), TavuConfig->GetProfileDir() + QStringLiteral("toolbar.ini"),
                                frame.Window());
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        bars.ReloadToolBarsAndMenus();
}

void TCustomiseCommands::actToolCustomizePopupMenuExecute()
{
    TCustomPopupMenuDialog dialog(frame.WindowActions(), TavuConfig->GetProfileDir() + QStringLiteral("popup.ini"),
                                  frame.Window());
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        bars.ReloadToolBarsAndMenus();
}

void TCustomiseCommands::actToolBasicAuthorExecute()
{
    TBasicAuthorizationForm dialog(frame.Window());
    Dialogs::ExecDialog(dialog);
}

void TCustomiseCommands::actToolClearLogExecute()
{
    TCleanDialog dialog(frame.Window());
    Dialogs::ExecDialog(dialog);
}

void TCustomiseCommands::actShortcutEditExecute()
{
    TShortcutEditor editor(ShortcutData::ShortcutFileName(), frame.Window());
    Dialogs::ExecDialog(editor);
    if (editor.Editing.Saved)
        boards.ShortcutsChanged();
}
