#include "tools/ImageCatalog.h"

#include "mainwindow/KpwUrl.h"
#include "render/ExifInfo.h"
#include "tools/ExifView.h"
#include "tools/ImageCache.h"
#include "tools/PictureLoader.h"

#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const int UrlRole = Qt::UserRole;

}  // namespace

bool TImageCatalog::IsCatalogPicture(const QString &url)
{
    const QString path = QUrl(url).path().toLower();
    for (const char *extension : {".jpg", ".jpeg", ".gif", ".png"}) {
        if (path.endsWith(QLatin1String(extension)))
            return true;
    }
    return false;
}

void TImageCatalog::AddFront(const QString &url)
{
    Urls.removeAll(url);
    Urls.prepend(url);
}

void TImageCatalog::AddBack(const QString &url)
{
    Urls.removeAll(url);
    Urls.append(url);
}

TImageCatalogForm::TImageCatalogForm(const QString &cacheFolder, QWidget *parent)
    : QWidget(parent, Qt::Window), Cache(new TImageCache(cacheFolder, 4, this)), ImageList(new QListWidget), ExifBrowser(new QTextBrowser)
{
    setWindowTitle(QStringLiteral("サムネイル"));
    ImageList->setViewMode(QListView::IconMode);
    ImageList->setIconSize(QSize(ThumbnailSize, ThumbnailSize));
    ImageList->setResizeMode(QListView::Adjust);
    ImageList->setMovement(QListView::Static);
    ExifBrowser->setOpenLinks(false);
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(ImageList);
    splitter->addWidget(ExifBrowser);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    connect(Cache, &TImageCache::Ready, this, &TImageCatalogForm::PictureReady);
    connect(Cache, &TImageCache::Failed, this, [this](const QString &url, const QString &message) {
        if (QListWidgetItem *item = ItemOf(url))
            item->setToolTip(message);
    });
    connect(ImageList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            ShowExif(item->data(UrlRole).toString());
    });
    ImagePopup = new QMenu(this);
    ImagePopup->addAction(QStringLiteral("この画像をタヴで表示"), this, [this] { Kpwfunc::OpenUrl(ClickedUrl, QString()); });
    ImagePopup->addAction(QStringLiteral("この画像をブラウザで表示"), this, [this] { Kpwfunc::OpenUrlExternal(ClickedUrl); });
    ImagePopup->addAction(QStringLiteral("カタログの再読み込み"), this, &TImageCatalogForm::Rebuild);
    ImagePopup->addAction(QStringLiteral("この画像をカタログから削除"), this, &TImageCatalogForm::RemoveClicked);
    ImagePopup->addAction(QStringLiteral("カタログのクリア"), this, &TImageCatalogForm::ClearCatalog);
    ImageList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ImageList, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QListWidgetItem *item = ImageList->itemAt(pos);
        if (!item)
            return;
        ClickedUrl = item->data(UrlRole).toString();
        ImagePopup->popup(ImageList->viewport()->mapToGlobal(pos));
    });
    resize(640, 480);
}

void TImageCatalogForm::RemoveClicked()
{
    Catalog.Remove(ClickedUrl);
    Rebuild();
}

void TImageCatalogForm::ClearCatalog()
{
    Catalog.Clear();
    Rebuild();
}

QListWidgetItem *TImageCatalogForm::ItemOf(const QString &url) const
{
    for (int i = 0; i < ImageList->count(); ++i) {
        if (ImageList->item(i)->data(UrlRole).toString() == url)
            return ImageList->item(i);
    }
    return nullptr;
}

void TImageCatalogForm::Rebuild()
{
    ImageList->clear();
    for (const QString &url : Catalog.Urls) {
        auto *item = new QListWidgetItem(QUrl(url).fileName(), ImageList);
        item->setData(UrlRole, url);
        item->setToolTip(url);
        Cache->Request(url);
    }
}

void TImageCatalogForm::PictureReady(const QString &url, const QString &fileName)
{
    QListWidgetItem *item = ItemOf(url);
    QFile file(fileName);
    if (!item || !file.open(QIODevice::ReadOnly))
        return;
    const TDecodedPicture picture = TPictureLoader::Decode(file.readAll(), QSize(ThumbnailSize, ThumbnailSize));
    if (picture.Image.isNull())
        item->setToolTip(picture.Error);
    else
        item->setIcon(QIcon(QPixmap::fromImage(picture.Image)));
}

void TImageCatalogForm::ShowExif(const QString &url)
{
    TExifInfo exif;
    if (Cache->IsCached(url))
        exif.SetImageFileName(Cache->CacheFile(url));
    const QString shown = Cache->IsCached(url) ? QUrl::fromLocalFile(Cache->CacheFile(url)).toString() : url;
    ExifBrowser->setHtml(ExifView::Html(exif, shown));
}
