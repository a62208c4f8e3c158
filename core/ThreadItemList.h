#pragma once
// TThreadItemList: thread items of a listing (a thread list, a favorites folder, a check run).
// The list holds one reference to each item: Add takes one, Delete and destruction release it,
// Detach hands it to the caller.

#include <QList>

#include <functional>

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
    void Insert(int index, TThreadItem *item);
    TThreadItem *Get(int index) const { return items.at(index); }
    int Count() const { return items.size(); }
    // The index of the item, -1 when absent; the search starts at the end, where the item that
    // just arrived stands.
    int IndexOf(const TThreadItem *item) const;
    void Delete(int index);                // releases the item
    // Deletes (releases) every item the test picks, in one pass; the count deleted.
    int DeleteIf(const std::function<bool(const TThreadItem *)> &picked);
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
    QList<TThreadItem *> items;
};
