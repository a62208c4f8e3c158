#include "render/ExifInfo.h"

#include "core/JConvert.h"

#include <QFile>
#include <QVector>
#include <cmath>

namespace {

// Tags read from IFD0 and the Exif IFD.
enum : quint16 {
    TagImageDescription = 0x010E,
    TagMake = 0x010F,
    TagModel = 0x0110,
    TagExifIfd = 0x8769,
    TagExposureTime = 0x829A,
    TagFNumber = 0x829D,
    TagExposureProgram = 0x8822,
    TagIsoSpeed = 0x8827,
    TagExifVersion = 0x9000,
    TagDateTimeOriginal = 0x9003,
    TagDateTimeDigitized = 0x9004,
    TagShutterSpeed = 0x9201,
    TagAperture = 0x9202,
    TagBrightness = 0x9203,
    TagExposureBias = 0x9204,
    TagMaxAperture = 0x9205,
    TagMeteringMode = 0x9207,
    TagLightSource = 0x9208,
    TagFlash = 0x9209,
    TagFocalLength = 0x920A,
};

// TIFF field types and their sizes in bytes.
int TypeSize(quint16 type)
{
    switch (type) {
    case 1: case 2: case 6: case 7: return 1;   // BYTE ASCII SBYTE UNDEFINED
    case 3: case 8: return 2;                   // SHORT SSHORT
    case 4: case 9: case 11: return 4;          // LONG SLONG FLOAT
    case 5: case 10: case 12: return 8;         // RATIONAL SRATIONAL DOUBLE
    }
    return 0;
}

// One IFD entry with the place of its value, checked to lie inside the data.
struct TEntry {
    quint16 tag = 0;
    quint16 type = 0;
    quint32 count = 0;
    quint32 offset = 0;   // where the value's bytes start
};

// Reads a TIFF structure; every read is checked against the size of the data.
class TTiffReader {
public:
    explicit TTiffReader(const QByteArray &data) : data(data) {}

    // The offset of IFD0, 0 when the header is not a TIFF header.
    quint32 FirstIfd()
    {
        if (data.startsWith(QByteArray("II*\0", 4)))
            bigEndian = false;
        else if (data.startsWith(QByteArray("MM\0*", 4)))
            bigEndian = true;
        else
            return 0;
        return U32(4);
    }

    // The entries of the IFD at offset; an IFD that does not fit gives what fits.
    QVector<TEntry> ReadIfd(quint32 offset) const
    {
        QVector<TEntry> entries;
        if (!Fits(offset, 2))
            return entries;
        const quint32 count = U16(offset);
        for (quint32 i = 0; i < count; ++i) {
            const quint32 at = offset + 2 + i * 12;
            if (!Fits(at, 12))
                break;
            TEntry e;
            e.tag = U16(at);
            e.type = U16(at + 2);
            e.count = U32(at + 4);
            const quint64 size = quint64(TypeSize(e.type)) * e.count;
            if (size == 0)
                continue;
            e.offset = size <= 4 ? at + 8 : U32(at + 8);
            if (Fits(e.offset, size))
                entries.append(e);
        }
        return entries;
    }

    quint32 Integer(const TEntry &e) const
    {
        switch (e.type) {
        case 1: case 7: return quint8(data[int(e.offset)]);
        case 3: return U16(e.offset);
        case 4: return U32(e.offset);
        }
        return 0;
    }

    double Rational(const TEntry &e) const
    {
        if (e.type != 5 && e.type != 10)
            return 0;
        const quint32 num = U32(e.offset);
        const quint32 den = U32(e.offset + 4);
        if (den == 0)
            return 0;
        return e.type == 10 ? double(qint32(num)) / double(qint32(den)) : double(num) / double(den);
    }

    // ASCII and UNDEFINED values as text, up to the first NUL.
    QString Text(const TEntry &e) const
    {
        if (e.type != 2 && e.type != 7)
            return QString();
        QByteArray bytes = data.mid(int(e.offset), int(e.count));
        const int nul = int(bytes.indexOf('\0'));
        if (nul >= 0)
            bytes.truncate(nul);
        return jconvert::SjisToUnicode(bytes).trimmed();
    }

private:
    const QByteArray &data;
    bool bigEndian = false;

    bool Fits(quint64 offset, quint64 size) const { return offset + size <= quint64(data.size()); }

    quint32 Byte(quint32 at) const { return quint8(data[int(at)]); }
    quint32 U16(quint32 at) const
    {
        if (!Fits(at, 2))
            return 0;
        return bigEndian ? (Byte(at) << 8 | Byte(at + 1)) : (Byte(at + 1) << 8 | Byte(at));
    }
    quint32 U32(quint32 at) const
    {
        if (!Fits(at, 4))
            return 0;
        return bigEndian ? (U16(at) << 16 | U16(at + 2)) : (U16(at + 2) << 16 | U16(at));
    }
};

// The payload of the Exif APP1 segment of a JPEG file (without "Exif\0\0"); empty when none.
// Walks the segments up to the start of the image data, reading only their headers.
QByteArray ReadExifSegment(QFile &file)
{
    if (file.read(2) != QByteArray("\xFF\xD8", 2))
        return QByteArray();
    for (;;) {
        QByteArray marker = file.read(2);
        while (marker.size() == 2 && quint8(marker[0]) == 0xFF && quint8(marker[1]) == 0xFF)
            marker = marker.mid(1) + file.read(1);   // fill bytes
        if (marker.size() < 2 || quint8(marker[0]) != 0xFF)
            return QByteArray();
        const quint8 type = quint8(marker[1]);
        if (type == 0xD9 || type == 0xDA)   // end of image, start of scan
            return QByteArray();
        if (type == 0x01 || (type >= 0xD0 && type <= 0xD7))
            continue;                       // markers without a length
        const QByteArray lengthBytes = file.read(2);
        if (lengthBytes.size() < 2)
            return QByteArray();
        const int length = quint8(lengthBytes[0]) << 8 | quint8(lengthBytes[1]);
        if (length < 2)
            return QByteArray();
        if (type == 0xE1) {
            const QByteArray payload = file.read(length - 2);
            if (payload.size() < length - 2)
                return QByteArray();   // the file ends inside the segment
            if (payload.startsWith(QByteArray("Exif\0\0", 6)))
                return payload.mid(6);
        } else if (!file.seek(file.pos() + length - 2)) {
            return QByteArray();
        }
    }
}

double FromApexTime(double tv)
{
    return std::pow(2.0, tv);
}

double FromApexAperture(double av)
{
    return std::pow(std::sqrt(2.0), av);
}

}  // namespace

void TExifInfo::Clear()
{
    const QString name = fileName;
    *this = TExifInfo();
    fileName = name;
}

void TExifInfo::SetImageFileName(const QString &path)
{
    fileName = path;
    Clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray tiff = ReadExifSegment(file);
    if (!tiff.isEmpty())
        ReadTiff(tiff);
}

void TExifInfo::ReadTiff(const QByteArray &tiff)
{
    TTiffReader reader(tiff);
    const quint32 ifd0 = reader.FirstIfd();
    if (ifd0 == 0)
        return;
    hasExif = true;
    quint32 exifIfd = 0;
    for (const TEntry &e : reader.ReadIfd(ifd0)) {
        switch (e.tag) {
        case TagImageDescription: Description = reader.Text(e); break;
        case TagMake: Maker = reader.Text(e); break;
        case TagModel: Model = reader.Text(e); break;
        case TagExifIfd: exifIfd = reader.Integer(e); break;
        }
    }
    if (exifIfd == 0 || exifIfd == ifd0)
        return;
    for (const TEntry &e : reader.ReadIfd(exifIfd)) {
        switch (e.tag) {
        case TagExposureTime: ExposureTime = reader.Rational(e); break;
        case TagFNumber: FNumber = reader.Rational(e); break;
        case TagExposureProgram: ExposureProgram = int(reader.Integer(e)); break;
        case TagIsoSpeed: ISOSpeed = int(reader.Integer(e)); break;
        case TagExifVersion: ExifVersion = reader.Text(e); break;
        case TagDateTimeOriginal: DateTaken = reader.Text(e); break;
        case TagDateTimeDigitized: DateDigitized = reader.Text(e); break;
        case TagShutterSpeed: ShutterSpeed = FromApexTime(reader.Rational(e)); break;
        case TagAperture: Aperture = FromApexAperture(reader.Rational(e)); break;
        case TagBrightness: Brightness = reader.Rational(e); break;
        case TagExposureBias: ExposureBias = reader.Rational(e); break;
        case TagMaxAperture: MaxAperture = FromApexAperture(reader.Rational(e)); break;
        case TagMeteringMode: MeteringMode = int(reader.Integer(e)); break;
        case TagLightSource: LightSource = int(reader.Integer(e)); break;
        case TagFlash: Flash = int(reader.Integer(e)); break;
        case TagFocalLength: FocalLength = reader.Rational(e); break;
        }
    }
}

namespace {

QString NameOf(int code, std::initializer_list<std::pair<int, const char *>> names)
{
    for (const auto &[value, name] : names) {
        if (value == code)
            return QString::fromUtf8(name);
    }
    return QString::number(code);
}

}  // namespace

QString TExifInfo::ExposureProgramText(int code)
{
    return NameOf(code, {{0, "未定義"}, {1, "マニュアル"}, {2, "ノーマルプログラム"}, {3, "絞り優先"},
                         {4, "シャッター優先"}, {5, "創造プログラム"}, {6, "アクションプログラム"},
                         {7, "ポートレートモード"}, {8, "ランドスケープモード"}});
}

QString TExifInfo::MeteringModeText(int code)
{
    return NameOf(code, {{0, "不明"}, {1, "平均"}, {2, "中央重点"}, {3, "スポット"}, {4, "マルチスポット"},
                         {5, "分割測光"}, {6, "部分測光"}, {255, "その他"}});
}

QString TExifInfo::LightSourceText(int code)
{
    return NameOf(code, {{0, "不明"}, {1, "昼光"}, {2, "蛍光灯"}, {3, "タングステン"}, {4, "フラッシュ"},
                         {9, "晴天"}, {10, "曇天"}, {11, "日陰"}, {12, "昼光色蛍光灯"}, {13, "昼白色蛍光灯"},
                         {14, "白色蛍光灯"}, {15, "温白色蛍光灯"}, {17, "標準光A"}, {18, "標準光B"},
                         {19, "標準光C"}, {20, "D55"}, {21, "D65"}, {22, "D75"}, {23, "D50"},
                         {24, "ISOスタジオタングステン"}, {255, "その他"}});
}

QString TExifInfo::FlashText(int code)
{
    return QString::fromUtf8((code & 1) ? "発光" : "非発光");
}
