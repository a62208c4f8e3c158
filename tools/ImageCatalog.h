#pragma once
// The image catalog: an ordered list of picture URLs (TImageCatalog, no window, no file) and the
// window that shows it as thumbnails fetched through TImageCache, with the Exif view of the
// chosen picture (TImageCatalogForm).

#include <QStringList>
#include <QWidget>

class QListWidget;
class QMenu;
class QListWidgetItem;
class QTextBrowser;
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
};

class TImageCatalogForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int ThumbnailSize = 128;

    TImageCatalogForm(const QString &cacheFolder, QWidget *parent = nullptr);

    TImageCatalog Catalog;
    TImageCache *Cache;
    QListWidget *ImageList;
    QTextBrowser *ExifBrowser;

    // Shows the catalog again and asks for every picture not shown yet.
    void Rebuild();
    // The ImagePopup entries, for the picture under the last click.
    QMenu *ImagePopup;
    QString ClickedUrl;
    void RemoveClicked();
    void ClearCatalog();
    void ShowExif(const QString &url);

private:
    void PictureReady(const QString &url, const QString &fileName);
    QListWidgetItem *ItemOf(const QString &url) const;
};
