#include "settings/BookmarkCategoryRows.h"

#include "controls/BarsAndMenus.h"
#include "core/Bookmark.h"
#include "core/Exceptions.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "settings/BookmarkShelf.h"

#include <algorithm>

TBookmarkCategoryRows::TBookmarkCategoryRows(TBookmarkShelf &shelf) : shelf(shelf) {}

void TBookmarkCategoryRows::Load(const QString &categoryFile)
{
    rows.clear();
    rows.append({TBookmarkShelf::NoCategory(), {}});
    TTextList file;
    file.LoadFromFile(categoryFile);
    for (const QString &line : file.Lines)
        if (!line.isEmpty() && !IsUsed(line))
            rows.append({line, {}});

    for (TThreadItem *item : shelf.Threads()) {
        for (int i = 0; i < item->Bookmarks.Count(); ++i) {
            TBookmarkRes *bookmark = item->Bookmarks.Get(i);
            int row = bookmark->Category.isEmpty() ? 0 : Find(bookmark->Category);
            if (row <= 0 && !bookmark->Category.isEmpty())
                row = AddCategory(bookmark->Category);
            rows[row].Bookmarks.append(bookmark);
        }
    }
}

void TBookmarkCategoryRows::Save(const QString &categoryFile) const
{
    TTextList file;
    for (int row = 1; row < rows.size(); ++row)
        file.Add(rows[row].Name);
    try {
        file.SaveToFile(categoryFile);
    } catch (const EFileError &e) {
        EventLog::AddLog(e.Message);
    }
}

int TBookmarkCategoryRows::Find(const QString &name) const
{
    if (name == rows[0].Name)
        return 0;
    for (int row = 1; row < rows.size(); ++row)
        if (rows[row].Name.compare(name, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

void TBookmarkCategoryRows::MoveBookmarks(int fromRow, QList<int> indices, int toRow)
{
    if (fromRow == toRow)
        return;
    std::sort(indices.begin(), indices.end());
    for (int k = indices.size() - 1; k >= 0; --k) {
        TBookmarkRes *bookmark = rows[fromRow].Bookmarks.takeAt(indices[k]);
        shelf.SetCategory(bookmark, CategoryOf(toRow));
        rows[toRow].Bookmarks.append(bookmark);
    }
}

QList<int> TBookmarkCategoryRows::MoveRows(QList<int> selected, int target)
{
    selected.removeAll(0);
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    if (selected.isEmpty())
        return {};
    target = std::clamp(target, 1, int(rows.size()));

    QList<TRow> block;
    int before = 0;   // moved rows that lay above the target
    for (int k = selected.size() - 1; k >= 0; --k) {
        block.prepend(rows.takeAt(selected[k]));
        if (selected[k] < target)
            ++before;
    }
    const int place = target - before;
    QList<int> taken;
    for (int k = 0; k < block.size(); ++k) {
        rows.insert(place + k, block[k]);
        taken.append(place + k);
    }
    return taken;
}

QString TBookmarkCategoryRows::NewCategoryName() const
{
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("カテゴリ%1").arg(n);
        if (!IsUsed(name))
            return name;
    }
}

bool TBookmarkCategoryRows::IsUsed(const QString &name, int exceptRow) const
{
    for (int row = 0; row < rows.size(); ++row)
        if (row != exceptRow && rows[row].Name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int TBookmarkCategoryRows::AddCategory(const QString &name)
{
    rows.append({name, {}});
    return int(rows.size()) - 1;
}

void TBookmarkCategoryRows::Rename(int row, const QString &name)
{
    if (row <= 0)
        return;
    rows[row].Name = name;
    for (TBookmarkRes *bookmark : rows[row].Bookmarks)
        shelf.SetCategory(bookmark, name);
}

void TBookmarkCategoryRows::DeleteCategories(QList<int> selected)
{
    std::sort(selected.begin(), selected.end());
    for (int k = selected.size() - 1; k >= 0; --k) {
        const int row = selected[k];
        if (row <= 0 || row >= rows.size())
            continue;
        while (!rows[row].Bookmarks.isEmpty())
            DeleteBookmark(row, 0);
        rows.removeAt(row);
    }
}

void TBookmarkCategoryRows::DeleteBookmark(int row, int index)
{
    TBookmarkRes *bookmark = rows[row].Bookmarks.at(index);
    TThreadItem *item = bookmark->Item;
    const int resNo = bookmark->ResNo;
    for (int i = 0; i < item->Bookmarks.Count(); ++i)
        if (item->Bookmarks.Get(i)->ResNo == resNo)
            Forget(item->Bookmarks.Get(i));
    shelf.Remove(item, resNo);
}

void TBookmarkCategoryRows::Forget(const TBookmarkRes *bookmark)
{
    for (TRow &row : rows)
        row.Bookmarks.removeAll(const_cast<TBookmarkRes *>(bookmark));
}
