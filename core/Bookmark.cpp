#include "core/Bookmark.h"

void TBookmarkList::Add(TBookmarkRes *bookmark)
{
    items.emplace_back(bookmark);
}

void TBookmarkList::Delete(int index)
{
    items.erase(items.begin() + index);
}

TBookmarkRes *TBookmarkList::FindByResNo(int resNo) const
{
    for (const auto &bookmark : items) {
        if (bookmark->ResNo == resNo)
            return bookmark.get();
    }
    return nullptr;
}
