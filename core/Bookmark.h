#pragma once
// Bookmarks ("しおり"): marked responses of one thread, kept in the thread's .inf (section BOOKMARK).

#include <QString>
#include <memory>
#include <vector>

class TThreadItem;

class TBookmarkRes {
public:
    int ResNo = 0;
    QString Name;
    QString Date;
    QString Body;
    QString PlainName;   // the name without tags
    QString Memo;
    QString Category;    // empty when none
    TThreadItem *Item = nullptr;   // the thread it belongs to (not a reference)
};

class TBookmarkList {
public:
    // Takes ownership.
    void Add(TBookmarkRes *bookmark);
    TBookmarkRes *Get(int index) const { return items[size_t(index)].get(); }
    void Delete(int index);
    int Count() const { return int(items.size()); }
    void Clear() { items.clear(); }
    // The first bookmark on that response, or nullptr.
    TBookmarkRes *FindByResNo(int resNo) const;

private:
    std::vector<std::unique_ptr<TBookmarkRes>> items;
};
