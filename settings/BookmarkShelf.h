#pragma once
// TBookmarkShelf: the bookmarks of every thread, as the bookmark windows and commands see them.
//
// A bookmark lives in its thread's .inf (section BOOKMARK, written by TThreadItem::SaveInfo); the
// index bookmark.txt lists the threads that have any, one "SITEID/board id/thread key=title" line
// each. The shelf keeps the two in step: every change goes through the thread item's bookmark list,
// is saved to the .inf at once, and the index gains the thread's line with its first bookmark and
// loses it with its last one (both files are written atomically).
//
// The shelf also holds the threads of the index as thread items (one reference each, released with
// the shelf), for the bookmark manager and editor. It has no window.

#include <QList>
#include <QString>
#include <QStringList>

class TBookmarkRes;
class TBoard;
class TRes;
class TSite;
class TTextList;
class TThreadItem;

class TBookmarkShelf {
public:
    // index: the main window's bookmark index, saved to indexFile after each change.
    TBookmarkShelf(TTextList &index, const QString &indexFile);
    ~TBookmarkShelf();
    TBookmarkShelf(const TBookmarkShelf &) = delete;
    TBookmarkShelf &operator=(const TBookmarkShelf &) = delete;

    // The name of the thread's index line: site id "/" board id "/" thread key.
    static QString IndexName(const TThreadItem *item);
    // The shown name of the empty category.
    static QString NoCategory();   // "(未入力)"

    // Marks the response of the thread: a bookmark with its number, name, date and body, the memo
    // and the category. A response that already has one gets the new memo and category instead.
    // The .inf and the index are saved. False when the thread has no log place.
    bool Add(TThreadItem *item, const TRes &res, const QString &memo, const QString &category);
    // Removes every bookmark of the thread on that response (none: false).
    bool Remove(TThreadItem *item, int resNo);
    // Removes every bookmark of the thread.
    void Clear(TThreadItem *item);
    // Gives the bookmark another category and saves its thread.
    void SetCategory(TBookmarkRes *bookmark, const QString &category);
    // Saves the thread's .inf; its index line goes when it has no bookmark left.
    void Save(TThreadItem *item);

    // ---- the threads of the index ----
    // Binds a thread item to every index line, in index order; kept are those whose site and board
    // are known and that hold at least one bookmark.
    void LoadThreads();
    const QList<TThreadItem *> &Threads() const { return threads; }
    // Drops (and releases) the threads that have no bookmark left.
    void DropEmptyThreads();

    // The sites of the threads, in order of first appearance; their boards (all sites: nullptr).
    QList<TSite *> Sites() const;
    QList<TBoard *> Boards(const TSite *site) const;
    // The threads of the board (nullptr: any) of the site (nullptr: any).
    QList<TThreadItem *> ThreadsOf(const TSite *site, const TBoard *board) const;
    // The threads with at least one bookmark of that category (empty: none given).
    QList<TThreadItem *> ThreadsInCategory(const QString &category) const;

private:
    TTextList &index;
    QString indexFile;
    QList<TThreadItem *> threads;

    void SaveIndex();
    void Enter(TThreadItem *item);
};
