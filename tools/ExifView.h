#pragma once
// The Exif view of a picture: the picture, then one line per Exif value the file carries (a
// numeric value of zero is left out), or "Exif無し". The URL is escaped before it enters the page.

#include <QString>

class TExifInfo;

namespace ExifView {

QString Html(const TExifInfo &exif, const QString &url);

}  // namespace ExifView
