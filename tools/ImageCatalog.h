#pragma once
// The image catalog: an ordered list of picture URLs (TImageCatalog, no window, no file) and the
// pane of the main window that shows it as thumbnails fetched through TImageCache
// (TImageCatalogPane). A picture link dropped on the pane joins the catalog at the front; a click
// on a thumbnail opens the catalog's menu (ImagePopup) for that picture.

#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class TImageCache;

class TImageCatalog {
public:
    QStringList Urls;

    // ".jpg", ".jpeg", ".gif" or ".png" (the query left aside).
    static bool IsCatalogPicture(const QString &url);
    void AddFront(const QString &url);   // a URL already listed moves to the front
    void AddBack(const QString &url);    // ... or to the end
    void Remove(const QString &url) { Urls.removeAll(url); }
    void Clear() { Urls.clear(); }

    // The side of a thumbnail: the pane's height less 12 when the pane lies under the browser
    // (imagePane 0), else the thread information panel's width less 48; never below 16.
    static int ThumbnailSize(int imagePane, int paneHeight, int infoPanelWidth);
    // The catalog as a page of thumbnails (each linked to its picture), for a browser tab.
    QString Html(int thumbnailSize) const;
};

class TImageCatalogPane : public QWidget {
    Q_OBJECT
public:
    TImageCatalogPane(const QString &cacheFolder, QWidget *parent = nullptr);

    TImageCatalog Catalog;
    TImageCache *Cache;
    QListWidget *ImageList;
    QLabel *DropHint;   // shown while the catalog is empty

    // How big the thumbnails are drawn (set by the window that places the pane).
    std::function<int()> ThumbnailSizeNow;
    // What the menu opens the picture in: a preview browser, and a browser tab for the whole
    // catalog page (set by the window that places the pane).
    std::function<void(const QString &url)> OpenInPreview;
    // Opens the picture in a browser tab of the main window.
    std::function<void(const QString &url)> OpenInTab;
    std::function<void(const QString &html)> OpenCatalogPage;

    // Shows the catalog again and asks for every picture not shown yet.
    void Rebuild();
    // A picture link (http or https) joins the catalog at the front; anything else is left alone.
    void AddDroppedUrl(const QString &url);
    int ThumbnailSize() const { return thumbnailSize; }

    // ImagePopup: its seven entries act on the picture under the last click (ClickedUrl).
    QMenu *ImagePopup;
    QString ClickedUrl;
    void ShowCatalogInTab();
    void RemoveClicked();
    void ClearCatalog();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int thumbnailSize = 128;

    void CreatePopup();
    void PictureReady(const QString &url, const QString &fileName);
    void PictureFailed(const QString &url, const QString &message);
    QListWidgetItem *ItemOf(const QString &url) const;
};
