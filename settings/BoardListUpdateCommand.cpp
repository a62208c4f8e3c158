#include "settings/BoardListUpdateCommand.h"

#include "controls/Dialogs.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/KpwBoardTree.h"
#include "mainwindow/VarneloWindow.h"
#include "settings/BoardListDialog.h"

namespace BoardListUpdateCommand {

void Bind(TVarneloWindow *window)
{
    window->ActionList1->Bind(QStringLiteral("actBoardListUpdate"), window, [window] { Execute(window); });
}

void Execute(TVarneloWindow *window)
{
    if (Kpwfunc::BoardListsBusy())
        return;
    {
        TBoardListDialog dialog(window);
        dialog.SelectSite(window->CurrentSite());
        Kpwfunc::ExecDialog(dialog);
    }
    if (TSite *favorites = TavuEnviron->FavoritesSite()) {
        favorites->Boards->Clear();
        favorites->LoadBoards();
    }
}

}  // namespace BoardListUpdateCommand
