#pragma once
// TThreadInfoPane: the thread information panel beside the browser tabs. Its tabs are the figures
// of the shown thread ("スレッド情報", ThreadInfoListBox), the bookmarks of the shown thread
// ("しおり", BookmarkListView with the chosen bookmark's text beside it) and, where DESKTOP
// IMAGEPANE puts it, the image catalog: under the browser tabs (0), as a tab of the panel (1) or
// under the panel's tabs (2).
//
// The unit binds actBookmarkDelete and actBookmarkComment (the bookmark pane's menu, BookmarkMenu)
// and actThreadThumbnailImages / actThreadThumbnailImagesNewOnly (the picture links of the current
// thread tab into the catalog).

#include <QDateTime>
#include <QObject>
#include <QStringList>

class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;
class TBookmarkRes;
class TImageCatalogPane;
class TThreadItem;
class TTavuBrowser;
class TWindowServices;

class TThreadInfoPane : public QObject {
    Q_OBJECT
public:
    TThreadInfoPane(TWindowServices &services, QObject *parent = nullptr);

    QTabWidget *ThreadInfoTabs = nullptr;
    QListWidget *ThreadInfoListBox = nullptr;
    QTreeWidget *BookmarkListView = nullptr;
    QPlainTextEdit *BookmarkText = nullptr;   // the chosen bookmark's body, as text
    TImageCatalogPane *ImageCatalog = nullptr;

    // The figures of the thread, in groups of three rows (label, value, empty); now is the time
    // the elapsed times are counted to.
    void FillThreadInfo(const TThreadItem *item, const QDateTime &now = QDateTime::currentDateTime());
    // The bookmarks of the thread, one row each (nullptr: none).
    void FillBookmarks(TThreadItem *item);

    void BookmarkMenuPopup();
    void actBookmarkDeleteExecute();
    void actBookmarkCommentExecute();
    void actThreadThumbnailImagesExecute(bool newOnly);

private:
    TWindowServices &services;
    const TThreadItem *bookmarksShown = nullptr;   // compared only
    QStringList bookmarkRows;                      // what the list shows (BookmarkRows)

    void CreateTabs();
    void CreateBookmarkPane();
    void CreateImageCatalog();
    void ThreadShown();
    static QStringList BookmarkRows(const TThreadItem *item);
    // The current tab when it shows a thread (else nullptr).
    TTavuBrowser *ThreadTab() const;
    QList<TBookmarkRes *> SelectedBookmarks() const;
    void BookmarkListViewChange();
    void BookmarkListViewDblClick();
};
