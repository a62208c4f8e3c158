// The Exif reader on JPEG files built byte by byte: both byte orders, and hostile files.

#include "render/ExifInfo.h"

#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QVector>

namespace {

// One IFD entry as the builder writes it: the value's bytes already in the file's byte order.
struct Field {
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray value;
};

// Writes a TIFF structure (header, IFD0, Exif IFD, then the values that do not fit in an entry)
// in one byte order.
class TiffBuilder {
public:
    explicit TiffBuilder(bool bigEndian) : big(bigEndian) {}

    QByteArray U16(quint32 v) const { return Bytes(v, 2); }
    QByteArray U32(quint32 v) const { return Bytes(v, 4); }
    Field Short(quint16 tag, quint16 v) const { return {tag, 3, 1, U16(v)}; }
    Field Long(quint16 tag, quint32 v) const { return {tag, 4, 1, U32(v)}; }
    Field Rational(quint16 tag, quint32 num, quint32 den) const { return {tag, 5, 1, U32(num) + U32(den)}; }
    Field SRational(quint16 tag, qint32 num, qint32 den) const
    {
        return {tag, 10, 1, U32(quint32(num)) + U32(quint32(den))};
    }
    static Field Ascii(quint16 tag, const QByteArray &text)
    {
        return {tag, 2, quint32(text.size() + 1), text + '\0'};
    }

    // IFD0 points to the Exif IFD when one is given.
    QByteArray Build(QVector<Field> ifd0, const QVector<Field> &exif) const
    {
        const quint32 ifd0At = 8;
        const quint32 exifAt = ifd0At + IfdSize(ifd0.size() + (exif.isEmpty() ? 0 : 1));
        if (!exif.isEmpty())
            ifd0.append(Long(0x8769, exifAt));
        quint32 dataAt = exifAt + (exif.isEmpty() ? 0 : IfdSize(exif.size()));
        QByteArray data;
        QByteArray out = QByteArray(big ? "MM" : "II") + U16(42) + U32(ifd0At);
        out += Ifd(ifd0, dataAt, data);
        if (!exif.isEmpty())
            out += Ifd(exif, dataAt, data);
        return out + data;
    }

private:
    bool big;

    QByteArray Bytes(quint32 v, int size) const
    {
        QByteArray b;
        for (int i = 0; i < size; ++i)
            b.append(char(v >> (8 * (big ? size - 1 - i : i))));
        return b;
    }
    static quint32 IfdSize(qsizetype entries) { return quint32(2 + entries * 12 + 4); }

    QByteArray Ifd(const QVector<Field> &fields, quint32 &dataAt, QByteArray &data) const
    {
        QByteArray out = U16(quint32(fields.size()));
        for (const Field &f : fields) {
            out += U16(f.tag) + U16(f.type) + U32(f.count);
            if (f.value.size() <= 4) {
                out += f.value.leftJustified(4, '\0');
            } else {
                out += U32(dataAt);
                data += f.value;
                dataAt += quint32(f.value.size());
            }
        }
        return out + U32(0);
    }
};

QByteArray Segment(quint8 marker, const QByteArray &payload)
{
    const int length = int(payload.size()) + 2;
    return QByteArray("\xFF") + char(marker) + char(length >> 8) + char(length & 0xFF) + payload;
}

// A JPEG file: SOI, a JFIF APP0, the Exif APP1 (when given), a scan and EOI.
QByteArray Jpeg(const QByteArray &tiff)
{
    QByteArray jpeg("\xFF\xD8", 2);
    jpeg += Segment(0xE0, QByteArray("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
    if (!tiff.isNull())
        jpeg += Segment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
    return jpeg + Segment(0xDA, QByteArray(10, '\x11')) + QByteArray("\x12\x34\xFF\xD9", 4);
}

QByteArray CameraTiff(bool bigEndian)
{
    const TiffBuilder b(bigEndian);
    return b.Build({TiffBuilder::Ascii(0x010E, "Mt. Fuji"), TiffBuilder::Ascii(0x010F, "Canon"),
                    TiffBuilder::Ascii(0x0110, "EOS 10D")},
                   {b.Rational(0x829A, 1, 250), b.Rational(0x829D, 28, 10), b.Short(0x8822, 3),
                    b.Short(0x8827, 200), {0x9000, 7, 4, "0220"},
                    TiffBuilder::Ascii(0x9003, "2004:05:06 07:08:09"), TiffBuilder::Ascii(0x9004, "2004:05:06 07:08:10"),
                    b.SRational(0x9201, 8, 1), b.Rational(0x9202, 3, 1), b.SRational(0x9203, -1, 2),
                    b.SRational(0x9204, -2, 3), b.Rational(0x9205, 2, 1), b.Short(0x9207, 5), b.Short(0x9208, 1),
                    b.Short(0x9209, 1), b.Rational(0x920A, 50, 1)});
}

class ExifTest : public ::testing::Test {
protected:
    TempDataRoot root;
    TExifInfo exif;

    void Read(const QByteArray &bytes)
    {
        root.Write(QStringLiteral("image.jpg"), bytes);
        exif.SetImageFileName(root.File(QStringLiteral("image.jpg")));
    }
};

TEST_F(ExifTest, ReadsEveryValueInBothByteOrders)
{
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "Motorola" : "Intel");
        Read(Jpeg(CameraTiff(bigEndian)));
        ASSERT_TRUE(exif.HasExif());
        EXPECT_EQ(exif.Description, QStringLiteral("Mt. Fuji"));
        EXPECT_EQ(exif.Maker, QStringLiteral("Canon"));
        EXPECT_EQ(exif.Model, QStringLiteral("EOS 10D"));
        EXPECT_DOUBLE_EQ(exif.ExposureTime, 0.004);
        EXPECT_DOUBLE_EQ(exif.FNumber, 2.8);
        EXPECT_EQ(exif.ExposureProgram, 3);
        EXPECT_EQ(exif.ISOSpeed, 200);
        EXPECT_EQ(exif.ExifVersion, QStringLiteral("0220"));
        EXPECT_EQ(exif.DateTaken, QStringLiteral("2004:05:06 07:08:09"));
        EXPECT_EQ(exif.DateDigitized, QStringLiteral("2004:05:06 07:08:10"));
        EXPECT_DOUBLE_EQ(exif.ShutterSpeed, 256.0);        // APEX 8: 1/256 s
        EXPECT_NEAR(exif.Aperture, 2.828, 0.001);          // APEX 3: F2.8
        EXPECT_DOUBLE_EQ(exif.Brightness, -0.5);
        EXPECT_NEAR(exif.ExposureBias, -0.667, 0.001);
        EXPECT_DOUBLE_EQ(exif.MaxAperture, 2.0);           // APEX 2: F2
        EXPECT_EQ(exif.MeteringMode, 5);
        EXPECT_EQ(exif.LightSource, 1);
        EXPECT_EQ(exif.Flash, 1);
        EXPECT_DOUBLE_EQ(exif.FocalLength, 50.0);
    }
    EXPECT_EQ(TExifInfo::ExposureProgramText(3), QStringLiteral("絞り優先"));
    EXPECT_EQ(TExifInfo::MeteringModeText(5), QStringLiteral("分割測光"));
    EXPECT_EQ(TExifInfo::LightSourceText(99), QStringLiteral("99"));
    EXPECT_EQ(TExifInfo::FlashText(0x10), QStringLiteral("非発光"));
}

TEST_F(ExifTest, FilesWithoutExifHaveNone)
{
    Read(Jpeg(QByteArray()));
    EXPECT_FALSE(exif.HasExif());
    Read("GIF89a not a jpeg");
    EXPECT_FALSE(exif.HasExif());
    exif.SetImageFileName(root.File(QStringLiteral("missing.jpg")));
    EXPECT_FALSE(exif.HasExif());
    EXPECT_EQ(exif.ImageFileName(), root.File(QStringLiteral("missing.jpg")));

    // A reading forgets the values of the file before.
    Read(Jpeg(CameraTiff(false)));
    Read(Jpeg(QByteArray("XX*\0\x08\0\0\0", 8)));
    EXPECT_FALSE(exif.HasExif());
    EXPECT_TRUE(exif.Maker.isEmpty());
    EXPECT_EQ(exif.ISOSpeed, 0);
}

TEST_F(ExifTest, TruncatedAndHostileFilesReadOnlyWhatFits)
{
    // The IFD claims more entries than the segment holds: the entries that fit are read.
    QByteArray tiff = CameraTiff(false);
    tiff[8] = char(0xFF);
    tiff[9] = char(0x7F);
    Read(Jpeg(tiff));
    EXPECT_TRUE(exif.HasExif());
    EXPECT_EQ(exif.Maker, QStringLiteral("Canon"));

    // Cut short: before the Exif IFD nothing of it is read; cut inside it, the entries that lie
    // inside are read (ISO is held in its entry) and values stored behind it are not.
    for (const int size : {12, 40, 60}) {
        SCOPED_TRACE(size);
        Read(Jpeg(CameraTiff(true).left(size)));
        EXPECT_EQ(exif.ISOSpeed, 0);
    }
    Read(Jpeg(CameraTiff(true).left(120)));
    EXPECT_EQ(exif.ISOSpeed, 200);
    EXPECT_TRUE(exif.DateTaken.isEmpty());
    EXPECT_EQ(exif.FocalLength, 0.0);

    // Offsets beyond the end, counts that overflow and an Exif IFD pointing at IFD0.
    const TiffBuilder b(false);
    Read(Jpeg(b.Build({{0x010F, 2, 0x40000000, b.U32(0xFFFFFFF0)}, {0x0110, 5, 0xFFFFFFFF, b.U32(16)},
                       b.Long(0x8769, 8)},
                      {})));
    EXPECT_TRUE(exif.HasExif());
    EXPECT_TRUE(exif.Maker.isEmpty());
    EXPECT_TRUE(exif.Model.isEmpty());
    EXPECT_EQ(exif.ISOSpeed, 0);

    // A segment length that runs past the end of the file.
    QByteArray cut = Jpeg(CameraTiff(false));
    cut.truncate(40);
    Read(cut);
    EXPECT_FALSE(exif.HasExif());
}

}  // namespace
