#pragma once
// What the restore dialog does, apart from its window: which erased posts and threads it offers and
// how it brings them back.
//
// Erasing never touches a log's text: an erased post keeps its line in the log and is marked in
// section "ERASE" of the thread's .inf; an erased thread keeps its log and has ABONE set in its
// .inf. Restoring clears the marks, so the thread reads exactly as before it was erased.

#include <QList>

class TBoard;
class TRes;
class TResList;
class TThreadItem;
class TThreadItemList;

namespace EraseRestore {

// Marks the erased posts of the list in the item's .inf ("RES<n>" = 1). The log itself is never
// rewritten for an erase, so a list that holds only part of the thread cannot cut it short.
// Raises EFileError when the .inf cannot be written.
void StoreEraseMarks(TThreadItem *item, const TResList &list);

// The posts of the list that are erased and not hidden by a rule, in post order.
QList<TRes *> ErasedRes(const TResList &list);
// Clears the erase mark of each post in memory and in the .inf of the item ("RES<n>" = 0), then has
// the item read its .inf again. The .inf is written also when nothing is picked. Raises EFileError
// when the .inf cannot be written.
void RestoreRes(TThreadItem *item, const QList<TRes *> &picked);

// Every erased thread of the board: each .inf of its log folder whose ABONE is set, in file order.
// A thread that the listing holds is given as that item (its .inf read again, the listing's count
// kept); the others as new items. Each returned item carries one reference for the caller.
QList<TThreadItem *> ErasedThreads(TBoard *board, const TThreadItemList *listed);
// Clears ABONE of each thread and saves its .inf (read again first, so that nothing else of it
// goes back to an older state).
void RestoreThreads(const QList<TThreadItem *> &picked);

}  // namespace EraseRestore
