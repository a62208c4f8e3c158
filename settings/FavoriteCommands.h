#pragma once
// The main-window commands that run the favourites dialogs: the favourites editor (actFavEdit) and
// the registration of the selected board in the favourites (actBoardAddFav).

class TBoardTreeServices;
class TWindowFrameServices;

namespace FavoriteCommands {

void Bind(TWindowFrameServices &frame, TBoardTreeServices &boards);
void FavEditExecute(TWindowFrameServices &frame, TBoardTreeServices &boards);
void BoardAddFavExecute(TWindowFrameServices &frame, TBoardTreeServices &boards);

}  // namespace FavoriteCommands
