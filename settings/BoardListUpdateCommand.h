#pragma once
// actBoardListUpdate: the board-list update dialog for the site shown in the board tree.

class TWindowServices;

namespace BoardListUpdateCommand {

void Bind(TWindowServices &window);
// Refuses while an HTTP job is alive (the board lists are rebuilt); afterwards the favorites read
// their boards again.
void Execute(TWindowServices &window);

}  // namespace BoardListUpdateCommand
