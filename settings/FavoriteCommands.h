#pragma once
// The main-window commands that run the favourites dialogs: the favourites editor (actFavEdit) and
// the registration of the selected board in the favourites (actBoardAddFav).

class TWindowServices;

namespace FavoriteCommands {

void Bind(TWindowServices &window);
void FavEditExecute(TWindowServices &window);
void BoardAddFavExecute(TWindowServices &window);

}  // namespace FavoriteCommands
