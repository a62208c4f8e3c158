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
void RefreshFavoritesTree(TWindowServices &window)
{
    window.ShowNewBoardsOf(TavuEnviron->FavoritesSite(), true);
}

}  // namespace

void Bind(TWindowServices &window)
{
    window.BindAction(QStringLiteral("actFavEdit"), window.Window(), [&window] { FavEditExecute(window); });
    window.BindAction(QStringLiteral("actBoardAddFav"), window.Window(), [&window] { BoardAddFavExecute(window); });
}

void FavEditExecute(TWindowServices &window)
{
    {
        TFavoritesEditor editor(window.Window());
        Kpwfunc::ExecDialog(editor);
    }
    RefreshFavoritesTree(window);
}

void BoardAddFavExecute(TWindowServices &window)
{
    TSite *favorites = TavuEnviron->FavoritesSite();
    const TBoard *board = window.SelectedTreeBoard();
    if (!favorites || !board)
        return;
    TFavoriteDialog dialog(window.Window());
    dialog.Mode = TFavoriteDialog::fmBoard;
    dialog.Board = board;
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    favorites->LoadBoards();
    RefreshFavoritesTree(window);
}

}  // namespace FavoriteCommands
