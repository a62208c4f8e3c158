#include "core/Exceptions.h"
#include "net/Gzip.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <zlib.h>

namespace {

QByteArray RawDeflate(const QByteArray &data)
{
    z_stream zs{};
    deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zs, uLong(data.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(int(zs.total_out));
    deflateEnd(&zs);
    return out;
}

QByteArray Le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xff);
    return b;
}

// A gzip member; flags picks the optional header fields (FEXTRA, FNAME, FCOMMENT, FHCRC).
QByteArray Member(const QByteArray &data, quint8 flags = 0)
{
    QByteArray header("\x1f\x8b\x08", 3);
    header += char(flags);
    header += QByteArray(6, '\0');
    if (flags & 0x04)
        header += QByteArray("\x03\x00" "abc", 5);
    if (flags & 0x08)
        header += QByteArray("name.dat\0", 9);
    if (flags & 0x10)
        header += QByteArray("a comment\0", 10);
    if (flags & 0x02) {
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(header.constData()), uInt(header.size())));
        header += Le32(crc).left(2);
    }
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
    return header + RawDeflate(data) + Le32(crc) + Le32(quint32(data.size()));
}

const QByteArray Text = QByteArray("1<>sage<>2004/01/01 00:00 ID:abc<>body<>title\n").repeated(200);

}  // namespace

TEST(Gzip, DecodesEveryHeaderFormWholeOrByteByByte)
{
    for (quint8 flags : {0x00, 0x04, 0x08, 0x10, 0x02, 0x1e}) {
        const QByteArray gz = Member(Text, flags);
        EXPECT_EQ(GzipDecode(gz), Text) << "flags " << int(flags);

        TGzipDecoder decoder;
        QByteArray out;
        for (char c : gz)
            out += decoder.Feed(QByteArray(1, c));
        decoder.Finish();
        EXPECT_EQ(out, Text) << "flags " << int(flags);
    }
}

TEST(Gzip, ReadsConcatenatedMembers)
{
    EXPECT_EQ(GzipDecode(Member("first\n") + Member("second\n", 0x08)), QByteArray("first\nsecond\n"));
}

TEST(Gzip, RejectsDamagedStreams)
{
    const QByteArray good = Member(Text, 0x02);
    QByteArray badCrc = good;
    badCrc[badCrc.size() - 8] = char(badCrc[badCrc.size() - 8] ^ 1);
    QByteArray badSize = good;
    badSize[badSize.size() - 1] = char(badSize[badSize.size() - 1] ^ 1);
    QByteArray badHeaderCrc = good;
    badHeaderCrc[10] = char(badHeaderCrc[10] ^ 1);
    QByteArray badData = good;
    badData[20] = char(badData[20] ^ 0x55);
    const QList<QByteArray> damaged = {badCrc, badSize, badHeaderCrc, badData, good.left(good.size() - 3),
                                       good.left(5), QByteArray("plain text, not gzip"), QByteArray(), good + "junk after it"};
    for (const QByteArray &bytes : damaged) {
        try {
            GzipDecode(bytes);
            ADD_FAILURE() << bytes.size();
        } catch (const EGzipError &e) {
            // the user reads the reason in Japanese, never zlib's English
            EXPECT_FALSE(e.Message.contains(QRegularExpression(QStringLiteral("[a-z]{5,}")))) << e.Message.toStdString();
        }
    }
}

TEST(Gzip, DecodesFilesAndKnowsCompressedUrls)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("1000000000.dat.gz"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Member(Text, 0x08));
    file.close();
    EXPECT_EQ(GzipDecodeFile(path), Text);
    EXPECT_THROW(GzipDecodeFile(dir.filePath(QStringLiteral("missing.gz"))), EGzipError);

    EXPECT_TRUE(IsGzipUrl(QStringLiteral("http://host/kako/1000/1000000000.dat.gz")));
    EXPECT_TRUE(IsGzipUrl(QStringLiteral("http://host/a.GZ?x=1")));
    EXPECT_FALSE(IsGzipUrl(QStringLiteral("http://host/read.cgi?file=a.gz.html")));
    EXPECT_FALSE(IsGzipUrl(QStringLiteral("http://host/board/dat/1.dat")));
}
