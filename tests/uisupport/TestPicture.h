#pragma once
// Pictures for the tests that serve or show one: a plain picture of one colour, encoded as a file
// of the format gives it.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace TestPicture {

inline QByteArray Encode(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline QByteArray Png(int width, int height, Qt::GlobalColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return Encode(image, "PNG");
}

}  // namespace TestPicture
