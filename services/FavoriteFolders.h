#pragma once
// The favorites' files apart from any window: the folder files (line 1 the folder's name, then one
// thread per line: SITEID TAB board id TAB key TAB title TAB "1") and the entries the favourite
// dialog writes into the favorites site's board.dat (boards and web pages under a category).
// Every write is atomic; a missing folder file starts with the folder's name.

#include <QList>
#include <QString>
#include <QStringList>

class TBoard;
class TBoardList;
class TSite;
class TThreadItem;
class TThreadItemList;

namespace FavoriteFolders {

// The folder's file: its log folder + id + ".txt".
QString FolderFile(const TBoard *folder);
// One thread line of a folder file. A TAB or line break in the title becomes a blank, so that a
// title can never shift fields or add lines.
QString ThreadLine(const TThreadItem *item);

// Adds the threads to the folder's file, appended in the given order (atEnd, when the file has
// lines) or each put right under the name line ahead of the one before. Each thread is marked a
// favorite and its .inf saved. Raises EFileError when the file cannot be written.
void AddThreads(const TBoard *folder, const QList<TThreadItem *> &items, bool atEnd);
// Rewrites the folder's file with the name and the threads in list order, after a .bak copy of
// the previous file. Raises EFileError when the file cannot be written.
void WriteFolder(const TBoard *folder, const TThreadItemList &items);

// The board.dat line of a board shortcut: TAB host path TAB remote id (">" and the board id when
// the two differ) TAB name.
QString BoardEntryLine(const TBoard *board);
// The board.dat line of a web page: TAB URL TAB id TAB title TAB "www".
QString PageEntryLine(const QString &url, const QString &id, const QString &title);
// Hands out the next web-page id ("www%.5d" from USED of section WWW of the site's site.ini, which
// is raised by one and written at once).
QString TakePageId(TSite *favorites);

// Where a new entry of the category goes in the lines of a board.dat: right after the category
// line, or with atEnd after the last board of the category (empty lines passed over); -1 when the
// lines have no such category.
int EntryPosition(const QStringList &lines, const QString &category, bool atEnd);
// Puts the entry into the favorites site's board.dat under the category (a missing file starts
// with "2"; a category the file lacks is added at the end with the entry) and writes the file.
void AddEntry(TSite *favorites, const QString &category, const QString &line, bool atEnd);

// Moves the board at index from so that it stands at index to, taking the category of the board
// that stood there. False when either index is outside the list.
bool MoveBoard(TBoardList &boards, int from, int to);
// Moves the board behind the last board of the category (to the end when none has it) and gives
// it that category.
void MoveBoardToCategory(TBoardList &boards, int from, const QString &category);

}  // namespace FavoriteFolders
