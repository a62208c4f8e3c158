#include "tools/ImageCatalog.h"

#include "controls/MenuAccessKeys.h"
#include "core/TavuConfig.h"
#include "services/ImageCache.h"
#include "services/PictureLoader.h"
#include "services/Urls.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const int UrlRole = Qt::UserRole;

// The URLs a drop carries: its URL list, else its text, one URL a line.
QStringList DroppedUrls(const QMimeData *data)
{
    QStringList urls;
    if (data->hasUrls()) {
        for (const QUrl &url : data->urls())
            urls << url.toString();
    } else if (data->hasText()) {
        urls = data->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    for (QString &url : urls)
        url = url.trimmed();
    return urls;
}

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

int TImageCatalog::ThumbnailSize(int imagePane, int paneHeight, int infoPanelWidth)
{
    return std::max(16, imagePane == 0 ? paneHeight - 12 : infoPanelWidth - 48);
}

QString TImageCatalog::Html(int thumbnailSize) const
{
    QString html = QStringLiteral("<HTML><HEAD><TITLE>サムネイル</TITLE></HEAD><BODY BGCOLOR=\"#ffffff\" TOPMARGIN=4 LEFTMARGIN=4>");
    for (const QString &url : Urls) {
        const QString escaped = url.toHtmlEscaped();
        html += QStringLiteral("<A HREF=\"%1\"><img src=\"%1\" height=\"%2\" width=\"%2\" alt=\"%1\"></A> ").arg(escaped).arg(thumbnailSize);
    }
    return html + QStringLiteral("</body></html>");
}

TImageCatalogPane::TImageCatalogPane(const QString &cacheFolder, QWidget *parent)
    : QWidget(parent), Cache(new TImageCache(cacheFolder, 4, this)), ImageList(new QListWidget),
      DropHint(new QLabel(QStringLiteral("<CENTER>ここに画像リンクをドロップ<BR><IMG SRC=\"%1\"></CENTER>")
                              .arg((TTavuConfig::AppDir() + QStringLiteral("resource/imagedrop.gif")).toHtmlEscaped())))
{
    setObjectName(QStringLiteral("ImageCatalogPane"));
    setAcceptDrops(true);
    ImageList->setObjectName(QStringLiteral("EmbeddedWB1"));
    ImageList->setViewMode(QListView::IconMode);
    ImageList->setResizeMode(QListView::Adjust);
    ImageList->setMovement(QListView::Static);
    ImageList->setUniformItemSizes(true);
    ImageList->setAcceptDrops(false);
    DropHint->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DropHint);
    layout->addWidget(ImageList);
    ImageList->hide();
    connect(Cache, &TImageCache::Ready, this, &TImageCatalogPane::PictureReady);
    connect(Cache, &TImageCache::Failed, this, &TImageCatalogPane::PictureFailed);
    CreatePopup();
    auto popupAt = [this](QListWidgetItem *item, const QPoint &globalPos) {
        if (!item)
            return;
        ClickedUrl = item->data(UrlRole).toString();
        ImagePopup->popup(globalPos);
    };
    connect(ImageList, &QListWidget::itemClicked, this, [popupAt](QListWidgetItem *item) { popupAt(item, QCursor::pos()); });
    ImageList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ImageList, &QWidget::customContextMenuRequested, this,
            [this, popupAt](const QPoint &pos) { popupAt(ImageList->itemAt(pos), ImageList->viewport()->mapToGlobal(pos)); });
}

void TImageCatalogPane::CreatePopup()
{
    ImagePopup = new QMenu(this);
    ImagePopup->setObjectName(QStringLiteral("ImagePopup"));
    ImagePopup->addAction(QStringLiteral("この画像をタヴで表示"), this, [this] {
        if (OpenInTab)
            OpenInTab(ClickedUrl);
    });
    ImagePopup->addAction(QStringLiteral("この画像をブラウザで表示"), this, [this] { Urls::OpenUrlExternal(ClickedUrl); });
    ImagePopup->addAction(QStringLiteral("この画像をちょっと見ビューワーで表示"), this, [this] {
        if (OpenInPreview)
            OpenInPreview(ClickedUrl);
    });
    ImagePopup->addSeparator();
    ImagePopup->addAction(QStringLiteral("このカタログをタヴで表示"), this, &TImageCatalogPane::ShowCatalogInTab);
    ImagePopup->addAction(QStringLiteral("カタログの再読み込み"), this, &TImageCatalogPane::Rebuild);
    ImagePopup->addSeparator();
    ImagePopup->addAction(QStringLiteral("この画像をカタログから削除"), this, &TImageCatalogPane::RemoveClicked);
    ImagePopup->addAction(QStringLiteral("カタログのクリア"), this, &TImageCatalogPane::ClearCatalog);
    MenuAccessKeys::KeepAccessKeysUnique(ImagePopup, MenuAccessKeys::TKeyless::GiveKey);
}

void TImageCatalogPane::ShowCatalogInTab()
{
    if (OpenCatalogPage)
        OpenCatalogPage(Catalog.Html(thumbnailSize));
}

void TImageCatalogPane::RemoveClicked()
{
    Catalog.Remove(ClickedUrl);
    Rebuild();
}

void TImageCatalogPane::ClearCatalog()
{
    Catalog.Clear();
    Rebuild();
}

void TImageCatalogPane::AddDroppedUrl(const QString &url)
{
    const QString scheme = QUrl(url).scheme();
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || !TImageCatalog::IsCatalogPicture(url))
        return;
    Catalog.AddFront(url);
    Rebuild();
}

void TImageCatalogPane::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void TImageCatalogPane::dropEvent(QDropEvent *event)
{
    for (const QString &url : DroppedUrls(event->mimeData()))
        AddDroppedUrl(url);
    event->acceptProposedAction();
}

QListWidgetItem *TImageCatalogPane::ItemOf(const QString &url) const
{
    for (int i = 0; i < ImageList->count(); ++i) {
        if (ImageList->item(i)->data(UrlRole).toString() == url)
            return ImageList->item(i);
    }
    return nullptr;
}

// Every cell has the thumbnail's size from the start, so pictures that arrive later never push
// one another about, and a picture that arrives after the list was laid out still has room.
void TImageCatalogPane::Rebuild()
{
    if (ThumbnailSizeNow)
        thumbnailSize = ThumbnailSizeNow();
    ImageList->clear();
    ImageList->setIconSize(QSize(thumbnailSize, thumbnailSize));
    ImageList->setGridSize(QSize(thumbnailSize + 8, thumbnailSize + 8));
    DropHint->setVisible(Catalog.Urls.isEmpty());
    ImageList->setVisible(!Catalog.Urls.isEmpty());
    for (const QString &url : Catalog.Urls) {
        auto *item = new QListWidgetItem(ImageList);
        item->setData(UrlRole, url);
        item->setToolTip(url);
        item->setSizeHint(QSize(thumbnailSize, thumbnailSize));
        Cache->Request(url);
    }
}

void TImageCatalogPane::PictureReady(const QString &url, const QString &fileName)
{
    QListWidgetItem *item = ItemOf(url);
    QFile file(fileName);
    if (!item || !file.open(QIODevice::ReadOnly))
        return;
    const TDecodedPicture picture = TPictureLoader::Decode(file.readAll(), QSize(thumbnailSize, thumbnailSize));
    if (picture.Image.isNull())
        PictureFailed(url, picture.Error);
    else
        item->setIcon(QIcon(QPixmap::fromImage(picture.Image)));
}

// A picture that cannot be shown keeps its cell with a warning sign and says why.
void TImageCatalogPane::PictureFailed(const QString &url, const QString &message)
{
    if (QListWidgetItem *item = ItemOf(url)) {
        item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
        item->setToolTip(message + QLatin1Char('\n') + url);
    }
}
