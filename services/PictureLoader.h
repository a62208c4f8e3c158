#pragma once
// TPictureLoader: fetches one picture through an HTTP job (proxy, user agent and authorization as
// for every request) into memory and decodes it, scaled down to fit a given size, without ever
// holding the picture at its full size when it is larger than that.
//
// A reply that is not 2xx, a body larger than MaxBytes, a body that is no picture (an HTML page
// named ".jpg"), a broken picture and a picture of more than MaxPixels pixels all end with Failed
// and a Japanese message; nothing blocks the event loop: the picture is decoded on a thread of its
// own and the result comes back through the event loop. A new Load aborts the running one (a
// decode still running then ends unheard).

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

class TTavuHttp;

// The result of decoding picture bytes.
struct TDecodedPicture {
    QImage Image;          // null when decoding failed
    QSize FullSize;        // the picture's own size
    QByteArray Format;     // "jpeg", "png", ...
    QString Error;         // the message when Image is null
};

class TPictureLoader : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 DefaultMaxBytes = 32LL * 1024 * 1024;
    // The largest picture decoded: its full size is held while it is scaled down (4 bytes a
    // pixel, within the image readers' own bound of 128 MB).
    static constexpr qint64 DefaultMaxPixels = 32LL * 1000 * 1000;

    explicit TPictureLoader(QObject *parent = nullptr);
    ~TPictureLoader() override;

    qint64 MaxBytes = DefaultMaxBytes;
    qint64 MaxPixels = DefaultMaxPixels;
    static constexpr QSize DefaultFitSize{1024, 768};
    QSize FitSize = DefaultFitSize;     // the decoded picture fits in this size; never enlarged

    void Load(const QString &url);
    void Abort();
    bool IsBusy() const;   // fetching or decoding

    // Runs on the decoding thread just before a picture is decoded (tests hold the decode here).
    std::function<void()> OnDecodeThread;

    QString URL() const { return url; }
    QByteArray Body() const { return body; }   // the received bytes (kept until the next Load)

    // Decodes picture bytes scaled to fit `fit` (keeping the aspect ratio; never enlarged).
    static TDecodedPicture Decode(const QByteArray &bytes, const QSize &fit, qint64 maxPixels = DefaultMaxPixels);
    // Whether the URL's path ends with a picture extension the popup shows.
    static bool IsPictureUrl(const QString &url);

signals:
    void Loaded(const QImage &image, const QSize &fullSize);
    void Failed(const QString &message);

private:
    void Progress(qint64 received, qint64 total);
    void Finish(bool failed);
    void StartDecode();
    void Deliver(const TDecodedPicture &picture);

    TTavuHttp *http = nullptr;
    quint64 decodeSerial = 0;   // raised by each Load and Abort: a decode of an older one is not heard
    bool decoding = false;
    QString url;
    QByteArray body;
    QString error;
};
