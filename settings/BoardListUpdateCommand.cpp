#include "settings/BoardListUpdateCommand.h"

#include "controls/Dialogs.h"
#include "controls/KpwBoardTree.h"
#include "controls/WindowServices.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "settings/BoardListDialog.h"

namespace BoardListUpdateCommand {

void Bind(TWindowServices &window)
{
    window.BindAction(QStringLiteral("actBoardListUpdate"), window.Window(), [&window] { Execute(window); });
}

void Execute(TWindowServices &window)
{
    if (Kpwfunc::BoardListsBusy())
        return;
    {
        TBoardListDialog dialog(window.Window());
        dialog.BoardsReloaded = [&window](TSite *site) { window.ShowNewBoardsOf(site, false); };
        dialog.SelectSite(window.CurrentSite());
        Kpwfunc::ExecDialog(dialog);
    }
    if (TSite *favorites = TavuEnviron->FavoritesSite()) {
        favorites->Boards->Clear();
        favorites->LoadBoards();
    }
}

}  // namespace BoardListUpdateCommand
