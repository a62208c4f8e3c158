#include "services/PictureLoader.h"

#include "net/TavuHttp.h"

#include <QBuffer>
#include <QImageReader>
#include <QThread>
#include <QUrl>

#include <memory>

namespace {

constexpr int DecodedLimitMB = 128;
const QString TooLargeMessage = QStringLiteral("画像が大きすぎるため表示できません。");
const QString NotPictureMessage = QStringLiteral("画像ではないため表示できません。");
const QString BrokenMessage = QStringLiteral("画像が壊れているため表示できません。");

// A complete JPEG ends its last scan with the end-of-image marker (inside a scan every 0xFF byte is
// followed by 0x00, so the marker cannot be mistaken there).
bool HasEndOfImage(const QByteArray &bytes)
{
    const qsizetype lastScan = bytes.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    return lastScan >= 0 && bytes.indexOf(QByteArrayView("\xFF\xD9", 2), lastScan) > lastScan;
}

}  // namespace

TPictureLoader::TPictureLoader(QObject *parent) : QObject(parent) {}

TPictureLoader::~TPictureLoader()
{
    Abort();
}

bool TPictureLoader::IsPictureUrl(const QString &url)
{
    const QString path = QUrl(url).path().toLower();
    for (const char *extension : {".jpg", ".jpeg", ".png", ".gif", ".webp"}) {
        if (path.endsWith(QLatin1String(extension)))
            return true;
    }
    return false;
}

void TPictureLoader::Load(const QString &address)
{
    Abort();
    url = address;
    error.clear();
    body.clear();
    if (!http)
        http = new TTavuHttp(this);
    http->ClearEvents();
    http->URL = url;
    http->BodySink = &body;
    http->OnProgress = [this](TTavuHttp *, void *, qint64 received, qint64 total) { Progress(received, total); };
    http->OnError = [this](TTavuHttp *, void *, int, const QString &message, const QString &) {
        if (error.isEmpty())
            error = message;
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) { Finish(failed); };
    http->Get();   // nothing stored: a plain GET
}

void TPictureLoader::Abort()
{
    ++decodeSerial;
    decoding = false;
    if (http && http->IsBusy()) {
        http->ClearEvents();
        http->Abort();
    }
}

bool TPictureLoader::IsBusy() const
{
    return decoding || (http && http->IsBusy());
}

// A body that is or will be larger than the cap is not received any further.
void TPictureLoader::Progress(qint64 received, qint64 total)
{
    if (received > MaxBytes || total > MaxBytes) {
        error = TooLargeMessage;
        http->Abort();
    }
}

void TPictureLoader::Finish(bool failed)
{
    if (failed) {
        emit Failed(error.isEmpty() ? BrokenMessage : error);
        return;
    }
    StartDecode();
}

// The worker holds copies of what it needs, so it may outlive this loader; it frees itself.
void TPictureLoader::StartDecode()
{
    auto picture = std::make_shared<TDecodedPicture>();
    QThread *worker = QThread::create([picture, bytes = body, fit = FitSize, maxPixels = MaxPixels, hook = OnDecodeThread] {
        if (hook)
            hook();
        *picture = Decode(bytes, fit, maxPixels);
    });
    const quint64 which = decodeSerial;
    decoding = true;
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, picture, which] {
        if (which != decodeSerial)
            return;
        decoding = false;
        Deliver(*picture);
    });
    worker->start(QThread::LowPriority);
}

void TPictureLoader::Deliver(const TDecodedPicture &picture)
{
    if (picture.Image.isNull())
        emit Failed(picture.Error);
    else
        emit Loaded(picture.Image, picture.FullSize);
}

TDecodedPicture TPictureLoader::Decode(const QByteArray &bytes, const QSize &fit, qint64 maxPixels)
{
    TDecodedPicture result;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(DecodedLimitMB);   // the readers' own bound, whatever their version
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        result.Error = NotPictureMessage;
        return result;
    }
    result.Format = reader.format();
    result.FullSize = reader.size();
    if (!result.FullSize.isValid()) {
        result.Error = BrokenMessage;
        return result;
    }
    if (qint64(result.FullSize.width()) * result.FullSize.height() > maxPixels) {
        result.Error = TooLargeMessage;
        return result;
    }
    if (result.Format == "jpeg" && !HasEndOfImage(bytes)) {
        result.Error = BrokenMessage;
        return result;
    }
    if (result.FullSize.width() > fit.width() || result.FullSize.height() > fit.height())
        reader.setScaledSize(result.FullSize.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    if (!reader.read(&result.Image)) {
        result.Image = QImage();
        result.Error = BrokenMessage;
    }
    return result;
}
