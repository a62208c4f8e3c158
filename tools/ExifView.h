#pragma once
// The Exif view of a picture: the picture, then one line per Exif value the file carries (a
// numeric value of zero is left out), or "Exif無し". The URL is escaped before it enters the page.

#include <QObject>
#include <QString>

class TEmbeddedWB;
class TExifInfo;
class TImageCache;

namespace ExifView {

QString Html(const TExifInfo &exif, const QString &url);

}  // namespace ExifView

// The Exif display of a picture written into a browser: the picture is fetched into the picture
// cache, read by the Exif reader and shown as Html says. It lives as long as the browser. When the
// fetch fails (stop-all too) nothing is written and the log pane says why.
class TExifDisplay : public QObject {
    Q_OBJECT
public:
    TExifDisplay(const QString &cacheFolder, TEmbeddedWB *browser);

    void Show(const QString &url);

private:
    TEmbeddedWB *browser;
    TImageCache *cache;
    QString url;
};
