#pragma once
// The Exif view of a picture: the picture, then one line per Exif value the file carries (a
// numeric value of zero is left out), or "Exif無し". The URL is escaped before it enters the page.

#include <QString>
#include <QWidget>

class QTextBrowser;
class TExifInfo;
class TImageCache;

namespace ExifView {

QString Html(const TExifInfo &exif, const QString &url);

}  // namespace ExifView

// A window showing the Exif view of one picture, fetched into the picture cache first.
class TExifViewForm : public QWidget {
    Q_OBJECT
public:
    TExifViewForm(const QString &cacheFolder, QWidget *parent = nullptr);

    QTextBrowser *WebBrowser1;
    TImageCache *Cache;

    void ShowPicture(const QString &url);

private:
    QString url;
};
