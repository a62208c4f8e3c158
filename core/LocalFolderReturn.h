#pragma once
// Bringing a thread's log back from a local folder to the board it came from.
//
// A log moved into a local folder carries in its .inf the section [ORG] with SITEID and BOARDID of
// its former place, where a redirect .inf ([INFO] LOCAL) was left. Moving it back puts the .dat,
// .inf, .txt (memo) and .bak files into the former board's log folder under the same names,
// replacing the redirect, drops [ORG] and the local-folder mark from the .inf, and deletes the
// redirects left in folders the log passed through. The files move whole or not at all: when one
// of them cannot move, every file is put back where it was.

class TBoard;
class TThreadItem;

namespace LocalFolderReturn {

// The board the log came from: the one [ORG] of its .inf names, when the item has the
// local-folder mark, its log is there and that board is known; nullptr otherwise.
TBoard *FormerBoard(const TThreadItem &item);

// Moves the log back (see above) and binds the item to its former board. False, with every file
// left as it was, when there is no former board or a file cannot be moved or written.
bool MoveBack(TThreadItem *item);

}  // namespace LocalFolderReturn
