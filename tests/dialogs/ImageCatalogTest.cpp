// The image catalog: its order, the picture cache that fetches each picture once with a bounded
// number of jobs and stops with stop-all, and the Exif view.

#include "uisupport/TestPicture.h"

#include "support/ScriptedHttpServer.h"

#include "core/FileUtil.h"
#include "net/TavuHttpList.h"
#include "render/ExifInfo.h"
#include "services/ImageCache.h"
#include "tools/ExifView.h"
#include "tools/ImageCatalog.h"
#include "tools/WebCaptureForm.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Installs a job list for stop-all while the test runs.
struct TJobList {
    TTavuHttpList list;
    TTavuHttpList *previous = TavuHttpList;
    TJobList() { TavuHttpList = &list; }
    ~TJobList() { TavuHttpList = previous; }
};

}  // namespace

TEST(ImageCatalogTest, KeepsOneEntryPerUrlInTheAskedOrder)
{
    TImageCatalog catalog;
    catalog.AddBack(QStringLiteral("http://a/1.jpg"));
    catalog.AddBack(QStringLiteral("http://a/2.png"));
    catalog.AddFront(QStringLiteral("http://a/3.gif"));
    catalog.AddBack(QStringLiteral("http://a/1.jpg"));
    EXPECT_EQ(catalog.Urls, QStringList({QStringLiteral("http://a/3.gif"), QStringLiteral("http://a/2.png"), QStringLiteral("http://a/1.jpg")}));
    EXPECT_TRUE(TImageCatalog::IsCatalogPicture(QStringLiteral("http://a/x.JPEG?s=1")));
    EXPECT_FALSE(TImageCatalog::IsCatalogPicture(QStringLiteral("http://a/x.zip")));
}

TEST(ImageCacheTest, FetchesEachPictureOnceWithBoundedJobs)
{
    TJobList jobs;
    ScriptedHttpServer server;
    const QByteArray png = TestPicture::Png(40, 30, Qt::red);
    for (int i = 0; i < 5; ++i)
        server.Reply(ScriptedHttpServer::Make(200, png));
    QTemporaryDir folder;
    TImageCache cache(folder.path() + QStringLiteral("/thumbs/"), 2);
    QSignalSpy ready(&cache, &TImageCache::Ready);
    QStringList urls;
    for (int i = 0; i < 5; ++i)
        urls << server.Url(QStringLiteral("/p%1.png").arg(i));
    for (const QString &url : urls + urls.mid(0, 3))
        cache.Request(url);
    QTRY_COMPARE(ready.count(), 5);
    EXPECT_EQ(server.Requests().size(), 5);
    EXPECT_EQ(cache.PeakJobs(), 2);
    for (const QString &url : urls) {
        ASSERT_TRUE(cache.IsCached(url));
        EXPECT_TRUE(cache.CacheFile(url).startsWith(folder.path() + QStringLiteral("/thumbs/")));
        EXPECT_TRUE(cache.CacheFile(url).endsWith(QStringLiteral(".png")));
    }
    QFile file(cache.CacheFile(urls[3]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), png);

    cache.Request(urls[0]);   // cached: at once, nothing fetched
    EXPECT_EQ(ready.count(), 6);
    EXPECT_EQ(server.Requests().size(), 5);
}

TEST(ImageCacheTest, StopAllDropsTheWaitingPictures)
{
    TJobList jobs;
    ScriptedHttpServer server;
    for (int i = 0; i < 4; ++i)
        server.ReplyNothing();
    QTemporaryDir folder;
    TImageCache cache(folder.path() + QLatin1Char('/'), 2);
    QSignalSpy failed(&cache, &TImageCache::Failed);
    for (int i = 0; i < 4; ++i)
        cache.Request(server.Url(QStringLiteral("/slow%1.jpg").arg(i)));
    EXPECT_EQ(cache.Running(), 2);
    EXPECT_EQ(cache.Waiting(), 2);
    QTRY_COMPARE(server.Requests().size(), 2);
    TavuHttpList->AbortAll();
    QTRY_COMPARE(failed.count(), 2);
    EXPECT_EQ(cache.Running(), 0);
    EXPECT_EQ(cache.Waiting(), 0);
    EXPECT_EQ(server.Requests().size(), 2);
}

TEST(ExifViewTest, ListsThePresentValuesOrSaysThereAreNone)
{
    // A little-endian TIFF block with Make and FNumber (5.6 as 56/10).
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    auto put16 = [&tiff](quint16 v) { tiff.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto put32 = [&put16](quint32 v) { put16(quint16(v & 0xFFFF)); put16(quint16(v >> 16)); };
    put16(1);
    put16(0x010F); put16(2); put32(6); put32(26);
    put32(0);
    tiff += QByteArray("Maker\0", 6);
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray jpeg("\xFF\xD8\xFF\xE1", 4);
    jpeg.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xFF));
    jpeg += body + QByteArray("\xFF\xD9", 2);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("a.jpg"));
    FileUtil::WriteFileAtomic(path, jpeg);
    TExifInfo exif;
    exif.SetImageFileName(path);
    const QString html = ExifView::Html(exif, QStringLiteral("http://h/a.jpg?x=\"1\""));
    EXPECT_TRUE(html.startsWith(QStringLiteral("<P><IMG SRC=\"http://h/a.jpg?x=&quot;1&quot;\"></P><TT>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<B><FONT COLOR=BLUE>メーカー名　　　</FONT></B> = Maker<BR>")));
    EXPECT_FALSE(html.contains(QStringLiteral("レンズＦ値")));   // zero values are left out
    EXPECT_FALSE(html.contains(QStringLiteral("Exif無し")));

    TExifInfo none;
    FileUtil::WriteFileAtomic(path, QByteArray("\xFF\xD8\xFF\xD9", 4));
    none.SetImageFileName(path);
    EXPECT_TRUE(ExifView::Html(none, QStringLiteral("http://h/b.jpg")).endsWith(QStringLiteral("<TT>Exif無し</TT>")));
}

TEST(WebCaptureFormTest, ThumbnailPagesHoldOneEscapedPictureOrNone)
{
    const QString picture = TWebCaptureForm::ThumbnailHtml(1, QStringLiteral("http://h/a.jpg?\"><script>x()</script>"));
    EXPECT_EQ(picture.count(QStringLiteral("<img ")), 1);
    EXPECT_TRUE(picture.contains(QStringLiteral("<img src=\"http://h/a.jpg?&quot;&gt;&lt;script&gt;x()&lt;/script&gt;\" alt=\"\" width=\"128\" height=\"128\"")));
    EXPECT_FALSE(picture.contains(QStringLiteral("<script>")));
    const QString page = TWebCaptureForm::ThumbnailHtml(0, QStringLiteral("http://h/page.html"));
    EXPECT_TRUE(page.contains(QStringLiteral("<img src=\"http://%1/small/http://h/page.html\"").arg(QLatin1String(TWebCaptureForm::DefaultThumbnailHost))));
    EXPECT_FALSE(TWebCaptureForm::ThumbnailHtml(2, QStringLiteral("http://h/a.jpg")).contains(QStringLiteral("<img")));
}

TEST(ImageCatalogPaneTest, ShowsThumbnailsInFixedCellsAndRemovesAPictureWithoutFetchingAgain)
{
    TJobList jobs;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, TestPicture::Png(40, 30, Qt::red)));
    server.Reply(ScriptedHttpServer::Make(200, "<html>not a picture</html>"));
    QTemporaryDir folder;
    TImageCatalogPane pane(folder.path() + QLatin1Char('/'));
    pane.ThumbnailSizeNow = [] { return 64; };
    const QString picture = server.Url(QStringLiteral("/a.png"));
    const QString fake = server.Url(QStringLiteral("/b.jpg"));
    pane.Catalog.AddBack(picture);
    pane.Catalog.AddBack(fake);
    pane.Rebuild();
    ASSERT_EQ(pane.ImageList->count(), 2);
    // The cells have their size before any picture arrives, so late pictures never overlap.
    EXPECT_EQ(pane.ImageList->gridSize(), QSize(72, 72));
    EXPECT_EQ(pane.ImageList->iconSize(), QSize(64, 64));
    QTRY_VERIFY(!pane.ImageList->item(0)->icon().isNull() && !pane.ImageList->item(1)->icon().isNull());
    EXPECT_EQ(pane.ImageList->item(0)->icon().availableSizes().value(0), QSize(40, 30));
    EXPECT_TRUE(pane.ImageList->item(1)->toolTip().startsWith(QStringLiteral("画像ではないため表示できません。")));

    pane.ClickedUrl = fake;
    pane.RemoveClicked();
    ASSERT_EQ(pane.ImageList->count(), 1);
    EXPECT_EQ(pane.Catalog.Urls, QStringList({picture}));
    EXPECT_EQ(server.Requests().size(), 2);

    pane.ClearCatalog();
    EXPECT_EQ(pane.ImageList->count(), 0);
    EXPECT_FALSE(pane.DropHint->isHidden());
}

TEST(ImageCatalogPaneTest, TakesDroppedPictureLinksOnlyAndSizesThumbnailsByItsPlace)
{
    QTemporaryDir folder;
    TImageCatalogPane pane(folder.path() + QLatin1Char('/'));
    pane.AddDroppedUrl(QStringLiteral("http://h/a.jpg"));
    pane.AddDroppedUrl(QStringLiteral("http://h/page.html"));
    pane.AddDroppedUrl(QStringLiteral("javascript:x()//b.png"));
    pane.AddDroppedUrl(QStringLiteral("https://h/c.gif"));
    EXPECT_EQ(pane.Catalog.Urls, QStringList({QStringLiteral("https://h/c.gif"), QStringLiteral("http://h/a.jpg")}));
    // A drop carries its links as URLs or as text.
    QMimeData dropped;
    dropped.setUrls({QUrl(QStringLiteral("http://h/d.png")), QUrl(QStringLiteral("http://h/e.zip"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&pane, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&pane, &drop);
    QMimeData text;
    text.setText(QStringLiteral("http://h/f.jpg\n"));
    QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&pane, &textEnter);
    EXPECT_TRUE(textEnter.isAccepted());
    QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&pane, &textDrop);
    EXPECT_EQ(pane.Catalog.Urls.mid(0, 2), QStringList({QStringLiteral("http://h/f.jpg"), QStringLiteral("http://h/d.png")}));
    EXPECT_EQ(pane.Catalog.Urls.size(), 4);
    EXPECT_EQ(TImageCatalog::ThumbnailSize(0, 100, 500), 88);
    EXPECT_EQ(TImageCatalog::ThumbnailSize(1, 100, 200), 152);
    EXPECT_EQ(TImageCatalog::ThumbnailSize(2, 10, 30), 16);
    const QString page = pane.Catalog.Html(20);
    EXPECT_TRUE(page.contains(QStringLiteral("<A HREF=\"https://h/c.gif\"><img src=\"https://h/c.gif\" height=\"20\" width=\"20\"")));
    TImageCatalog hostile;
    hostile.AddBack(QStringLiteral("http://h/\"><script>x()</script>.jpg"));
    EXPECT_FALSE(hostile.Html(20).contains(QStringLiteral("<script>")));
}

// A link dropped on the empty pane is laid out before its picture arrives; the picture is then
// drawn in a cell of the thumbnail's size, not in an empty one.
TEST(ImageCatalogPaneTest, APictureDroppedOnTheEmptyShownPaneIsDrawnWhenItArrives)
{
    TJobList jobs;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, TestPicture::Png(40, 30, Qt::red)));
    QTemporaryDir folder;
    TImageCatalogPane pane(folder.path() + QLatin1Char('/'));
    pane.ThumbnailSizeNow = [] { return 64; };
    pane.resize(200, 300);
    pane.show();
    pane.AddDroppedUrl(server.Url(QStringLiteral("/a.png")));
    ASSERT_EQ(pane.ImageList->count(), 1);
    QListWidgetItem *item = pane.ImageList->item(0);
    QTRY_VERIFY(!item->icon().isNull());
    QCoreApplication::processEvents();
    const QRect cell = pane.ImageList->visualItemRect(item);
    EXPECT_GE(cell.width(), 64);
    EXPECT_GE(cell.height(), 64);
    EXPECT_TRUE(pane.ImageList->viewport()->rect().contains(cell.topLeft()));
}
