#include "settings/FavoriteCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "settings/FavoriteDialog.h"
#include "settings/FavoritesEditor.h"

namespace FavoriteCommands {

namespace {

// The favorites site's boards may have changed: the board tree shows them again when it shows the site.
void RefreshFavoritesTree(TBoardTreeServices &boards)
{
    boards.ShowNewBoardsOf(TavuEnviron->FavoritesSite(), true);
}

}  // namespace

void Bind(TWindowFrameServices &frame, TBoardTreeServices &boards)
{
    frame.BindAction(QStringLiteral("actFavEdit"), frame.Window(),
                     [&frame, &boards] { FavEditExecute(frame, boards); });
    frame.BindAction(QStringLiteral("actBoardAddFav"), frame.Window(),
                     [&frame, &boards] { BoardAddFavExecute(frame, boards); });
}

void FavEditExecute(TWindowFrameServices &frame, TBoardTreeServices &boards)
{
    {
        TFavoritesEditor editor(frame.Window());
        Dialogs::ExecDialog(editor);
    }
    RefreshFavoritesTree(boards);
}

void BoardAddFavExecute(TWindowFrameServices &frame, TBoardTreeServices &boards)
{
    TSite *favorites = TavuEnviron->FavoritesSite();
    const TBoard *board = boards.SelectedTreeBoard();
    if (!favorites || !board)
        return;
    TFavoriteDialog dialog(frame.Window());
    dialog.Mode = TFavoriteDialog::fmBoard;
    dialog.Board = board;
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    favorites->LoadBoards();
    RefreshFavoritesTree(boards);
}

}  // namespace FavoriteCommands
