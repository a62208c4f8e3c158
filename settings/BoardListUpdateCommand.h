#pragma once
// actBoardListUpdate: the board-list update dialog for the site shown in the board tree.

class TVarneloWindow;

namespace BoardListUpdateCommand {

void Bind(TVarneloWindow *window);
// Refuses while an HTTP job is alive (the board lists are rebuilt); afterwards the favorites read
// their boards again.
void Execute(TVarneloWindow *window);

}  // namespace BoardListUpdateCommand
