#pragma once
// TBookmarkCategoryRows: the bookmarks of every thread sorted into categories, as the bookmark
// editor shows and changes them. Row 0 is "(未入力)" (the bookmarks without category) and stays
// first; the other rows are the lines of bookcate.txt in file order, followed by the categories
// that bookmarks use but the file lacks. Each row holds the bookmarks of its category.
//
// Every change to a bookmark is saved to its thread at once (through the shelf, which also keeps
// the index in step); the category file is written by Save. No window.

#include <QList>
#include <QString>

class TBookmarkRes;
class TBookmarkShelf;

class TBookmarkCategoryRows {
public:
    // The shelf's threads must be loaded; the rows refer to their bookmarks.
    explicit TBookmarkCategoryRows(TBookmarkShelf &shelf);

    // Reads the category file (missing: no rows but row 0) and sorts in every bookmark of the shelf.
    void Load(const QString &categoryFile);
    // Writes the rows after row 0 to the category file, in row order.
    void Save(const QString &categoryFile) const;

    int Count() const { return int(rows.size()); }
    QString Name(int row) const { return rows[row].Name; }
    const QList<TBookmarkRes *> &Bookmarks(int row) const { return rows[row].Bookmarks; }
    // The row of the category, ignoring case (-1: none). Row 0 matches only its shown name.
    int Find(const QString &name) const;
    // The category text a bookmark in the row gets (empty for row 0).
    QString CategoryOf(int row) const { return row == 0 ? QString() : rows[row].Name; }

    // Moves the bookmarks at the indices of the row into another row: each takes that row's
    // category and is saved.
    void MoveBookmarks(int fromRow, QList<int> indices, int toRow);
    // Moves the selected rows, as one block in their order, before the row target (Count(): to
    // the end). Row 0 neither moves nor is passed. Returns the rows the block now takes.
    QList<int> MoveRows(QList<int> selected, int target);

    // "カテゴリ%d" with the smallest n from 1 that no row uses.
    QString NewCategoryName() const;
    // Whether another row than exceptRow has the name (ignoring case).
    bool IsUsed(const QString &name, int exceptRow = -1) const;
    // Appends a row; returns it.
    int AddCategory(const QString &name);
    // Renames the row; its bookmarks take the new name and are saved.
    void Rename(int row, const QString &name);
    // Removes the rows (never row 0) together with their bookmarks.
    void DeleteCategories(QList<int> selected);
    // Removes the bookmark (and every other bookmark of its thread on the same response).
    void DeleteBookmark(int row, int index);

private:
    struct TRow {
        QString Name;
        QList<TBookmarkRes *> Bookmarks;
    };
    TBookmarkShelf &shelf;
    QList<TRow> rows;

    void Forget(const TBookmarkRes *bookmark);
};
