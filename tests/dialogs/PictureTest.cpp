// Picture links: fetching and decoding a picture for the popup, and the popup window itself.

#include "uisupport/TestPicture.h"

#include "support/ScriptedHttpServer.h"
#include "support/WaitLimit.h"

#include "core/FileUtil.h"
#include "render/ExifInfo.h"
#include "services/PictureLoader.h"
#include "tools/PicturePopup.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <atomic>

using TestPicture::Encode;

namespace {

QImage Picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

// An Exif APP1 segment (little-endian TIFF) whose IFD0 holds one Make entry.
QByteArray ExifSegment(const QByteArray &maker)
{
    QByteArray tiff("II*\0", 4);
    auto put16 = [&tiff](quint16 value) { tiff.append(char(value & 0xFF)).append(char(value >> 8)); };
    auto put32 = [&put16](quint32 value) { put16(quint16(value & 0xFFFF)); put16(quint16(value >> 16)); };
    const QByteArray text = maker + '\0';
    put32(8);                 // IFD0
    put16(1);                 // one entry
    put16(0x010F);            // Make
    put16(2);                 // ASCII
    put32(quint32(text.size()));
    put32(8 + 2 + 12 + 4);    // the text follows the IFD
    put32(0);                 // no next IFD
    tiff += text;
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xFF));
    return segment + body;
}

QByteArray JpegWithExif(const QImage &image, const QByteArray &maker)
{
    const QByteArray jpeg = Encode(image, "JPG");
    return jpeg.left(2) + ExifSegment(maker) + jpeg.mid(2);   // right after the start-of-image marker
}

struct TLoad {
    bool loaded = false;
    bool failed = false;
    QImage image;
    QSize fullSize;
    QString message;
};

TLoad LoadFrom(TPictureLoader &loader, const QString &url)
{
    TLoad result;
    QObject context;
    QObject::connect(&loader, &TPictureLoader::Loaded, &context, [&result](const QImage &image, const QSize &size) {
        result.loaded = true;
        result.image = image;
        result.fullSize = size;
    });
    QObject::connect(&loader, &TPictureLoader::Failed, &context, [&result](const QString &message) {
        result.failed = true;
        result.message = message;
    });
    loader.Load(url);
    for (int i = 0; i < 1000000 && !result.loaded && !result.failed; ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return result;
}

}  // namespace

TEST(PictureLoaderTest, ShowsRealPicturesScaledAndKeepsTheExifOfAJpeg)
{
    ScriptedHttpServer server;
    const QByteArray jpeg = JpegWithExif(Picture(4000, 3000), "VarneloCam");
    server.Reply(ScriptedHttpServer::Make(200, jpeg, {"Content-Type: image/jpeg"}));
    server.Reply(ScriptedHttpServer::Make(200, Encode(Picture(300, 200), "PNG"), {"Content-Type: image/png"}));

    TPictureLoader loader;
    loader.FitSize = QSize(800, 800);
    const TLoad big = LoadFrom(loader, server.Url(QStringLiteral("/a/photo.jpg")));
    ASSERT_TRUE(big.loaded) << big.message.toStdString();
    EXPECT_EQ(big.fullSize, QSize(4000, 3000));
    EXPECT_EQ(big.image.size(), QSize(800, 600));   // decoded scaled, aspect kept
    EXPECT_EQ(loader.Body(), jpeg);
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("photo.jpg"));
    FileUtil::WriteFileAtomic(saved, loader.Body());
    TExifInfo exif;
    exif.SetImageFileName(saved);
    EXPECT_TRUE(exif.HasExif());
    EXPECT_EQ(exif.Maker, QStringLiteral("VarneloCam"));
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(server.LastRequest(), "User-Agent"), QByteArray("Varnelo/2.0"));

    const TLoad png = LoadFrom(loader, server.Url(QStringLiteral("/b/small.png")));
    ASSERT_TRUE(png.loaded) << png.message.toStdString();
    EXPECT_EQ(png.image.size(), QSize(300, 200));   // never enlarged
}

TEST(PictureLoaderTest, RefusesBrokenFakeAndOversizedRepliesWithAMessage)
{
    ScriptedHttpServer server;
    const QByteArray jpeg = Encode(Picture(640, 480), "JPG");
    server.Reply(ScriptedHttpServer::Make(200, jpeg.left(jpeg.size() * 2 / 3)));
    server.Reply(ScriptedHttpServer::Make(200, "<html><body>not here</body></html>", {"Content-Type: text/html"}));
    server.Reply(ScriptedHttpServer::Make(404, "missing"));
    const QByteArray large = Encode(Picture(64, 64), "PNG") + QByteArray(200000, 'x');
    server.Reply(ScriptedHttpServer::Make(200, large));

    TPictureLoader loader;
    loader.MaxBytes = 100000;
    const TLoad truncated = LoadFrom(loader, server.Url(QStringLiteral("/cut.jpg")));
    EXPECT_TRUE(truncated.failed);
    EXPECT_EQ(truncated.message, QStringLiteral("画像が壊れているため表示できません。"));
    const TLoad page = LoadFrom(loader, server.Url(QStringLiteral("/page.jpg")));
    EXPECT_TRUE(page.failed);
    EXPECT_EQ(page.message, QStringLiteral("画像ではないため表示できません。"));
    const TLoad missing = LoadFrom(loader, server.Url(QStringLiteral("/gone.jpg")));
    EXPECT_TRUE(missing.failed);
    EXPECT_TRUE(missing.message.contains(QStringLiteral("404")));
    const TLoad oversized = LoadFrom(loader, server.Url(QStringLiteral("/huge.png")));
    EXPECT_TRUE(oversized.failed);
    EXPECT_EQ(oversized.message, QStringLiteral("画像が大きすぎるため表示できません。"));
}

TEST(PictureLoaderTest, APictureOfTooManyPixelsIsRefusedBeforeDecoding)
{
    // A JPEG whose frame header claims 30000 x 30000 pixels: refused from the header alone.
    QByteArray jpeg = Encode(Picture(16, 16), "JPG");
    const qsizetype frame = jpeg.indexOf(QByteArrayView("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    qToBigEndian<quint16>(30000, jpeg.data() + frame + 5);   // height
    qToBigEndian<quint16>(30000, jpeg.data() + frame + 7);   // width
    const TDecodedPicture picture = TPictureLoader::Decode(jpeg, QSize(800, 600));
    EXPECT_TRUE(picture.Image.isNull());
    EXPECT_EQ(picture.FullSize, QSize(30000, 30000));
    EXPECT_EQ(picture.Error, QStringLiteral("画像が大きすぎるため表示できません。"));

    EXPECT_TRUE(TPictureLoader::IsPictureUrl(QStringLiteral("http://host/a/B.JPG")));
    EXPECT_TRUE(TPictureLoader::IsPictureUrl(QStringLiteral("http://host/x.webp?size=1")));
    EXPECT_FALSE(TPictureLoader::IsPictureUrl(QStringLiteral("http://host/page.html?img=a.jpg")));
}

// A picture bomb (25 megapixels in a few kilobytes) decodes on a thread of its own: while its decode
// is held, the window's event loop goes on (a timer fires and lets it go), and the picture arrives
// through the event loop afterwards.
TEST(PictureLoaderTest, APictureBombDecodesOffTheWindowsThreadWhileTimersFire)
{
    QImage bomb(5000, 5000, QImage::Format_Mono);
    bomb.fill(0);
    const QByteArray png = Encode(bomb, "PNG");
    ASSERT_LT(png.size(), 1024 * 1024);
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, png, {"Content-Type: image/png"}));

    TPictureLoader loader;
    std::atomic<QThread *> decodeThread{nullptr};
    QSemaphore held;
    QSemaphore letGo;
    loader.OnDecodeThread = [&] {
        decodeThread = QThread::currentThread();
        held.release();
        letGo.tryAcquire(1, WaitLimitMs);   // a decode on the window's thread would wait here in vain
    };
    bool busyWhileHeld = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (held.tryAcquire()) {
            busyWhileHeld = loader.IsBusy();
            letGo.release();
        }
    });
    tick.start(10);
    const TLoad result = LoadFrom(loader, server.Url(QStringLiteral("/bomb.png")));

    ASSERT_TRUE(result.loaded) << result.message.toStdString();
    EXPECT_NE(decodeThread.load(), QThread::currentThread());
    EXPECT_TRUE(busyWhileHeld);
    EXPECT_FALSE(loader.IsBusy());
    EXPECT_EQ(result.fullSize, QSize(5000, 5000));
    EXPECT_EQ(result.image.size(), QSize(768, 768));
}

TEST(PicturePopupTest, ShowsThePictureOrTheMessageAndSetsItsOpacity)
{
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, Encode(Picture(120, 90), "PNG")));
    server.Reply(ScriptedHttpServer::Make(200, "<html></html>"));

    TPicturePopup popup;
    EXPECT_EQ(popup.windowTitle(), QStringLiteral("JPEG Popup"));
    popup.LoadPicture(server.Url(QStringLiteral("/p.png")));
    QTRY_VERIFY(!popup.Image1->pixmap().isNull());
    EXPECT_EQ(popup.Image1->pixmap().size(), QSize(120, 90));
    EXPECT_TRUE(popup.SaveAs1->isEnabled());

    TPicturePopup other;
    other.LoadPicture(server.Url(QStringLiteral("/fake.jpg")));
    QTRY_VERIFY(other.Image1->text().startsWith(QStringLiteral("画像ではないため表示できません。")));

    EXPECT_DOUBLE_EQ(TPicturePopup::OpacityFor(200), 1.0);
    EXPECT_DOUBLE_EQ(TPicturePopup::OpacityFor(0), 55 / 255.0);
}
