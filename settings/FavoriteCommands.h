#pragma once
// The main-window commands that run the favourites dialogs: the favourites editor (actFavEdit) and
// the registration of the selected board in the favourites (actBoardAddFav).

class TVarneloWindow;

namespace FavoriteCommands {

void Bind(TVarneloWindow *window);
void FavEditExecute(TVarneloWindow *window);
void BoardAddFavExecute(TVarneloWindow *window);

}  // namespace FavoriteCommands
