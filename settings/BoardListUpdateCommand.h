#pragma once
// actBoardListUpdate: the board-list update dialog for the site shown in the board tree.

class TBoardTreeServices;
class TWindowFrameServices;

namespace BoardListUpdateCommand {

void Bind(TWindowFrameServices &frame, TBoardTreeServices &boards);
// Refuses while an HTTP job is alive (the board lists are rebuilt); afterwards the favorites read
// their boards again.
void Execute(TWindowFrameServices &frame, TBoardTreeServices &boards);

}  // namespace BoardListUpdateCommand
