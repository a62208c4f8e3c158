#pragma once
// TListingRows: the threads of a long listing kept as plain rows (number key, title, count, listing
// number) until a row is asked for. A listing of a million threads is mostly never looked at; its
// rows cost a fraction of what a thread item costs, and loading them makes no item at all.
//
// The thread item of a row is made the first time it is asked for (Item) and kept: every list that
// shares the rows (a document's item list and its arrival list) gets the same item for the same row.
// The rows hold one reference to each item they made and release it when they go.
//
// A row is the item that a listing makes of one subject line: SetLocation with the site id, the
// board id, "<key>.dat" and the title, then the count and the listing number. Only threads whose dat
// name is a plain number with ".dat" are kept as rows; others stay thread items.

#include <QString>
#include <QStringView>

#include <deque>
#include <vector>

class TThreadItem;

class TListingRows {
public:
    TListingRows(const QString &siteId, const QString &boardId);
    ~TListingRows();
    TListingRows(const TListingRows &) = delete;
    TListingRows &operator=(const TListingRows &) = delete;

    struct TRow {
        qint64 Key = 0;
        QString Title;
        int Count = 0;     // AGECOUNT as listed
        int Number = 0;    // listing number
        QString DatName() const;
    };

    // The key of a dat name that a row can hold ("<digits>.dat", the digits as a number writes them).
    static bool KeyOf(QStringView datName, qint64 &key);
    // A thread key written as a number writes it (no sign, no leading zero, at most 18 digits).
    static bool NumberOf(QStringView digits, qint64 &key);

    // Whether the item is a bare thread of this listing, holding nothing that its row would not
    // give back: nobody else holds it, its place is the site's board, and no mark, count, text or
    // log of its own is set. Its key is then given.
    bool Takes(const TThreadItem &item, qint64 &key) const;

    // Adds a row; its index.
    int Add(qint64 key, const QString &title, int count, int number);
    int Count() const { return int(rows.size()); }
    TRow Row(int row) const;
    qint64 Key(int row) const { return rows[size_t(row)].key; }
    QString DatName(int row) const;

    TThreadItem *Item(int row);         // made on first use
    TThreadItem *Made(int row) const;   // nullptr while the row has no item

private:
    struct TEntry {
        qint64 key;
        int count;
        int number;
        int block;    // the title: a stretch of one block of the titles
        int offset;
        int length;
        TThreadItem *item;
    };
    // A deque grows without moving what it holds (no copy of a million rows at each doubling).
    std::deque<TEntry> rows;
    // The titles one after the other in blocks that never grow past what they reserved, so that a
    // title costs its characters and nothing more.
    std::vector<QString> titles;
    QString siteId;
    QString boardId;

    QString TitleOf(const TEntry &entry) const;
};
