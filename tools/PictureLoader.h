#pragma once
// TPictureLoader: fetches one picture through an HTTP job (proxy, user agent and authorization as
// for every request) into memory and decodes it, scaled down to fit a given size, without ever
// holding the picture at its full size when it is larger than that.
//
// A reply that is not 2xx, a body larger than MaxBytes, a body that is no picture (an HTML page
// named ".jpg"), a broken picture and a picture of more than MaxPixels pixels all end with Failed
// and a Japanese message; nothing blocks the event loop. A new Load aborts the running one.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

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
    static constexpr qint64 DefaultMaxPixels = 120LL * 1000 * 1000;

    explicit TPictureLoader(QObject *parent = nullptr);
    ~TPictureLoader() override;

    qint64 MaxBytes = DefaultMaxBytes;
    qint64 MaxPixels = DefaultMaxPixels;
    QSize FitSize = QSize(1024, 768);   // the decoded picture fits in this size; never enlarged

    void Load(const QString &url);
    void Abort();
    bool IsBusy() const;

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

    TTavuHttp *http = nullptr;
    QString url;
    QByteArray body;
    QString error;
};
