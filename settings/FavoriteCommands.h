#pragma once
// The main-window commands that run the favourites dialogs: the favourites editor (actFavEdit) and
// the registration of the selected board in the favourites (actBoardAddFav).

class TBoardServices;
class TWindowFrameServices;

namespace FavoriteCommands {

void Bind(TWindowFrameServices &frame, TBoardServices &boards);
void FavEditExecute(TWindowFrameServices &frame, TBoardServices &boards);
void BoardAddFavExecute(TWindowFrameServices &frame, TBoardServices &boards);

}  // namespace FavoriteCommands
