#pragma once
// TWebCaptureForm: the borderless 136 x 133 page-thumbnail window. Its browser shows one 128 x 128
// picture: the outside thumbnail service's picture of a web page (mode 0) or the picture at the
// URL itself (mode 1); any other mode shows an empty white page. The browser's 2-pixel border is
// cut away by the window's mask. The URL is escaped before it enters the page. The hover code shows
// the service's picture once it has fetched it itself (ShowPicture), so that a service that cannot
// be reached never leaves an empty picture box.

#include <QWidget>

class TEmbeddedWB;

class TWebCaptureForm : public QWidget {
    Q_OBJECT
public:
    static constexpr const char *DefaultThumbnailHost = "capture.heartrails.com";

    explicit TWebCaptureForm(QWidget *parent = nullptr);

    TEmbeddedWB *WebBrowser1;
    // The host of the outside thumbnail service (mode 0).
    QString ThumbnailHost = QString::fromLatin1(DefaultThumbnailHost);

    void ShowThumbnail(int mode, const QString &url);
    static QString ThumbnailHtml(int mode, const QString &url, const QString &host = QString::fromLatin1(DefaultThumbnailHost));
    // The address of the service's picture of the page (mode 0).
    QString ThumbnailUrl(const QString &url) const;
    // Shows a picture already fetched (a GIF, JPEG, PNG or WebP): false, and nothing shown, for
    // anything else.
    bool ShowPicture(const QByteArray &bytes, const QString &contentType);

private:
    void ShowPage(const QString &html);
};
