#pragma once
// TThreadItemList: thread items of a listing (a thread list, a favorites folder, a check run).
// The list holds one reference to each item: Add takes one, Delete and destruction release it,
// Detach hands it to the caller.
//
// A long listing may hold rows of a TListingRows in place of items (AddRow): the item of such a row
// is made when the list hands it out (Get, Detach, Sort) and from then on held like any other.
// Peek and ListedRow read a place without making its item.

#include "core/ListingRows.h"

#include <QList>
#include <QSet>
#include <QStringView>

#include <memory>
#include <utility>
#include <vector>

class TBBS;
class TSite;
class TThreadItem;

class TThreadItemList {
public:
    TThreadItemList() = default;
    ~TThreadItemList();
    TThreadItemList(const TThreadItemList &) = delete;
    TThreadItemList &operator=(const TThreadItemList &) = delete;

    int Add(TThreadItem *item);            // adds a reference; returns the index
    // Adds a row of the listing rows, whose item is made when first handed out. A list holds the
    // rows of one listing; a row of another is added as its item.
    void AddRow(const std::shared_ptr<TListingRows> &listing, int row);
    void Insert(int index, TThreadItem *item);
    TThreadItem *Get(int index) const;
    int Count() const { return int(places.size()); }
    // The item at index when it has been made, else nullptr: the place is then ListedRow(index).
    const TThreadItem *Peek(int index) const;
    TListingRows::TRow ListedRow(int index) const;
    QString DatNameAt(int index) const;   // makes no item
    // The listing rows the list holds rows of; null when none.
    std::shared_ptr<TListingRows> Listing() const { return listing; }
    // The index of the item, -1 when absent; the search starts at the end, where the item that
    // just arrived stands.
    int IndexOf(const TThreadItem *item) const;
    // The index of the first thread with the dat name (ignoring case), -1 when absent; no row's item
    // is made to find it.
    int IndexOfDatName(const QString &datName) const;
    // The indexes, in order, of the threads whose key (the dat name up to its first ".") may be the
    // key: every one that is, and rarely one that only shares its table entry. No row's item is
    // made to find them. The list makes its table of keys when first asked and again after a
    // change, so a long list is searched in a step.
    QList<int> IndexesOfKey(QStringView key) const;
    void Delete(int index);                // releases the item
    // Deletes (releases) the given items, in one pass, making no item of a row; the count deleted.
    int DeleteItems(const QSet<const TThreadItem *> &gone);
    TThreadItem *Detach(int index);        // removes without releasing
    void Move(int from, int to);
    void Clear();                          // releases every item
    int CountMarked() const;               // items new in this listing

    // The sort keys of the thread-list columns.
    enum SortKey {
        SortNumber = 1,      // listing number
        SortStatus = 2,      // new, updated, past log, read, other
        SortInfo = 3,        // read threads first, then listing number
        SortTitle = 4,
        SortAgeCount = 5,
        SortNewCount = 6,    // ascending flag: largest first
        SortRead = 7,
        SortPriority = 8,    // ascending flag: largest first
        SortLastLoad = 9,    // empty texts last in both directions
        SortLastSent = 10,   // empty texts last in both directions
        SortComment = 11,
        SortBoard = 12,
        SortSite = 13,       // site name, then board id
        SortReadPoint = 14,  // threads with a read point first, then listing number
        SortReadPointNo = 15,
        SortDat = 16,        // dat names as numbers, as text when not numeric
        SortSince = 17,
        SortThreadNo = 18,
    };
    // Sorts in place by the key; any other key leaves the order unchanged. Texts compare by the
    // locale comparison ignoring case. Equal keys keep their order.
    void Sort(int key, bool ascending);

    // The listing the items came from, and the sort the list was last given.
    TBBS *BBS = nullptr;
    TSite *Site = nullptr;
    int SortColumn = 0;
    bool SortAscending = true;

private:
    // A place holds an item (with the list's reference) or, until its item is made, a row of the
    // listing rows as row * 2 + 1 (an item's address is even).
    mutable QList<quintptr> places;
    std::shared_ptr<TListingRows> listing;
    // Each place's key code with its index, sorted; made by IndexesOfKey, dropped by a change.
    mutable std::vector<std::pair<qint64, int>> keyTable;

    static bool IsRow(quintptr slot) { return slot & 1; }
    static int RowOf(quintptr slot) { return int(slot >> 1); }
    TThreadItem *PeekSlot(quintptr slot) const;
    void Changed();   // the places changed: the table of keys is made anew when next asked
    void MakeKeyTable() const;
    QList<TThreadItem *> MakeAll() const;   // every item, each row's made
};
