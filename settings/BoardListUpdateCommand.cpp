#include "settings/BoardListUpdateCommand.h"

#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "settings/BoardListDialog.h"

namespace BoardListUpdateCommand {

void Bind(TWindowFrameServices &frame, TBoardTreeServices &boards)
{
    frame.BindAction(QStringLiteral("actBoardListUpdate"), frame.Window(),
                     [&frame, &boards] { Execute(frame, boards); });
}

void Execute(TWindowFrameServices &frame, TBoardTreeServices &boards)
{
    if (BoardTree::BoardListsBusy())
        return;
    {
        TBoardListDialog dialog(frame.Window());
        dialog.BoardsReloaded = [&boards](TSite *site) { boards.ShowNewBoardsOf(site, false); };
        dialog.SelectSite(boards.CurrentSite());
        Dialogs::ExecDialog(dialog);
    }
    if (TSite *favorites = TavuEnviron->FavoritesSite()) {
        favorites->Boards->Clear();
        favorites->LoadBoards();
    }
}

}  // namespace BoardListUpdateCommand
