#include "commands/OutsideServiceCommands.h"

#include "commands/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "mainwindow/Dialogs.h"
#include "tools/SettingTextDialog.h"

TOutsideServiceCommands::TOutsideServiceCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("act2chShowSettingTxt"), this, [this] { act2chShowSettingTxtExecute(); });
}

// Only the boards of the 2ch board type have a SETTING.TXT.
void TOutsideServiceCommands::act2chShowSettingTxtExecute()
{
    TBoard *board = services.ShownBoard();
    if (!board || !board->BBS || board->BBS->ID != QLatin1String("dolibscript"))
        return;
    TSettingTextDialog dialog(services.Window());
    dialog.LoadSettingTxt(board->URL);
    Kpwfunc::ExecDialog(dialog);
}
