#include "settings/FavoriteCommands.h"

#include "controls/Dialogs.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/KpwBoardTree.h"
#include "mainwindow/VarneloWindow.h"
#include "settings/FavoriteDialog.h"
#include "settings/FavoritesEditor.h"

#include <QComboBox>
#include <QTreeWidget>

namespace FavoriteCommands {

namespace {

// The favorites site's boards may have changed: the board tree shows them again when it shows the site.
void RefreshFavoritesTree(TVarneloWindow *window)
{
    TSite *favorites = TavuEnviron->FavoritesSite();
    if (favorites && window->CurrentSite() == favorites)
        Kpwfunc::FillBoardTree(window->BoardListView, favorites, window->BoardFilterCombo->currentText());
}

}  // namespace

void Bind(TVarneloWindow *window)
{
    window->ActionList1->Bind(QStringLiteral("actFavEdit"), window, [window] { FavEditExecute(window); });
    window->ActionList1->Bind(QStringLiteral("actBoardAddFav"), window, [window] { BoardAddFavExecute(window); });
}

void FavEditExecute(TVarneloWindow *window)
{
    {
        TFavoritesEditor editor(window);
        Kpwfunc::ExecDialog(editor);
    }
    RefreshFavoritesTree(window);
}

void BoardAddFavExecute(TVarneloWindow *window)
{
    TSite *favorites = TavuEnviron->FavoritesSite();
    const TBoard *board = Kpwfunc::NodeBoard(window->BoardListView->currentItem());
    if (!favorites || !board)
        return;
    TFavoriteDialog dialog(window);
    dialog.Mode = TFavoriteDialog::fmBoard;
    dialog.Board = board;
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    favorites->LoadBoards();
    RefreshFavoritesTree(window);
}

}  // namespace FavoriteCommands
