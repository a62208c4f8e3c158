#pragma once
// The page of the bookmark windows: bookmarked responses rendered with the skin of the view
// "siori_manager" into a browser pane of their own. A page shows the bookmarks of one or more
// threads, each thread under its own header.

#include <QList>

class QWidget;
class TBookmarkRes;
class TTavuBrowser;
class TThreadItem;

namespace BookmarkPage {

// A browser pane that opens no new window.
TTavuBrowser *NewBrowser(QWidget *parent);

struct TThreadBookmarks {
    TThreadItem *Item = nullptr;
    QList<TBookmarkRes *> Bookmarks;
};
// Writes the page anew. The pane holds the last thread as its own.
void Show(TTavuBrowser *browser, const QList<TThreadBookmarks> &threads);

}  // namespace BookmarkPage
