#include "net/Gzip.h"

#include "core/Exceptions.h"

#include <QFile>
#include <QUrl>

#include <zlib.h>

namespace {

// Header flag bits.
constexpr quint8 FlagHcrc = 0x02;
constexpr quint8 FlagExtra = 0x04;
constexpr quint8 FlagName = 0x08;
constexpr quint8 FlagComment = 0x10;
constexpr quint8 FlagReserved = 0xE0;

constexpr int FixedHeaderSize = 10;
constexpr int TrailerSize = 8;
constexpr qsizetype OutputChunk = 256 * 1024;

[[noreturn]] void Fail(const QString &why)
{
    throw EGzipError(QStringLiteral("圧縮データが壊れています。(%1)").arg(why));
}

quint32 ReadLe32(const QByteArray &data, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// The offset just past the NUL that ends a text field starting at `at`; -1 while it is incomplete.
int SkipZeroTerminated(const QByteArray &data, int at)
{
    const int nul = data.indexOf('\0', at);
    return nul < 0 ? -1 : nul + 1;
}

}  // namespace

struct TGzipDecoder::Inflater {
    z_stream stream{};
    Inflater()
    {
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            throw EGzipError(QStringLiteral("圧縮データの展開を始められませんでした。"));
    }
    ~Inflater() { inflateEnd(&stream); }
};

TGzipDecoder::TGzipDecoder() : inflater(std::make_unique<Inflater>()) {}

TGzipDecoder::~TGzipDecoder() = default;

void TGzipDecoder::SetLimits(qint64 output, int ratio, qint64 floor)
{
    maxOutput = output;
    maxRatio = ratio;
    ratioFloor = floor;
}

void TGzipDecoder::Feed(const QByteArray &data, const Sink &sink)
{
    pending += data;
    consumed += data.size();
    for (;;) {
        if (stage == Stage::Header) {
            if (!ParseHeader())
                return;
            stage = Stage::Body;
        }
        if (stage == Stage::Body) {
            if (!InflatePending(sink) || stage == Stage::Body)
                return;
        }
        if (pending.size() < TrailerSize)
            return;
        CheckTrailer();
        ResetMember();
        if (pending.isEmpty())
            return;
    }
}

QByteArray TGzipDecoder::Feed(const QByteArray &data)
{
    QByteArray out;
    Feed(data, [&out](QByteArrayView decoded) {
        out.append(decoded);
        return true;
    });
    return out;
}

void TGzipDecoder::Finish()
{
    if (stage != Stage::Header || !pending.isEmpty() || !anyMember)
        Fail(QStringLiteral("途中で終わっています"));
}

// Reads the member header from the pending bytes; false while more bytes are needed.
bool TGzipDecoder::ParseHeader()
{
    if (pending.size() < FixedHeaderSize)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(pending.constData());
    if (p[0] != 0x1f || p[1] != 0x8b)
        Fail(QStringLiteral("gzip形式ではありません"));
    if (p[2] != Z_DEFLATED)
        Fail(QStringLiteral("未対応の圧縮方式です"));
    const quint8 flags = p[3];
    if (flags & FlagReserved)
        Fail(QStringLiteral("未対応のフラグです"));

    int at = FixedHeaderSize;
    if (flags & FlagExtra) {
        if (pending.size() < at + 2)
            return false;
        at += 2 + (int(p[at]) | int(p[at + 1]) << 8);
        if (pending.size() < at)
            return false;
    }
    for (quint8 textField : {FlagName, FlagComment}) {
        if (flags & textField) {
            at = SkipZeroTerminated(pending, at);
            if (at < 0)
                return false;
        }
    }
    if (flags & FlagHcrc) {
        if (pending.size() < at + 2)
            return false;
        const quint16 stored = quint16(uchar(pending[at]) | uchar(pending[at + 1]) << 8);
        const quint16 actual = quint16(crc32(0, p, uInt(at)) & 0xffff);
        if (stored != actual)
            Fail(QStringLiteral("ヘッダのCRCが一致しません"));
        at += 2;
    }
    pending.remove(0, at);
    return true;
}

// Inflates the pending bytes into the sink; moves to the trailer stage at the end of the deflate
// data. False when the sink asked to stop.
bool TGzipDecoder::InflatePending(const Sink &sink)
{
    z_stream &zs = inflater->stream;
    if (output.size() != OutputChunk)
        output.resize(OutputChunk);
    qsizetype used = 0;
    int rc = Z_OK;
    bool more = true;
    do {
        zs.next_in = reinterpret_cast<Bytef *>(pending.data() + used);
        zs.avail_in = uInt(pending.size() - used);
        zs.next_out = reinterpret_cast<Bytef *>(output.data());
        zs.avail_out = uInt(OutputChunk);
        rc = inflate(&zs, Z_NO_FLUSH);
        used = pending.size() - qsizetype(zs.avail_in);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
            Fail(rc == Z_MEM_ERROR ? QStringLiteral("展開に使うメモリが足りません") : QStringLiteral("展開できないデータがあります"));
        const qsizetype made = OutputChunk - qsizetype(zs.avail_out);
        CheckLimits(produced + made);
        crc = quint32(crc32_z(crc, reinterpret_cast<const Bytef *>(output.constData()), size_t(made)));
        size += quint32(made);
        produced += made;
        if (made > 0)
            more = sink(QByteArrayView(output.constData(), made));
    } while (more && rc == Z_OK && (zs.avail_in > 0 || zs.avail_out == 0));

    pending.remove(0, used);
    if (rc == Z_STREAM_END)
        stage = Stage::Trailer;
    return more;
}

void TGzipDecoder::CheckLimits(qint64 output) const
{
    if (maxOutput >= 0 && output > maxOutput)
        throw EGzipTooLarge(QStringLiteral("圧縮データを展開すると大きすぎます。(上限 %1 バイト)").arg(maxOutput));
    if (maxRatio > 0 && output > ratioFloor && output / qMax<qint64>(1, consumed) >= maxRatio)
        throw EGzipTooLarge(QStringLiteral("圧縮データの展開後が元の%1倍を超えました。").arg(maxRatio));
}

void TGzipDecoder::CheckTrailer()
{
    if (ReadLe32(pending, 0) != crc)
        Fail(QStringLiteral("CRCが一致しません"));
    if (ReadLe32(pending, 4) != size)
        Fail(QStringLiteral("長さが一致しません"));
    pending.remove(0, TrailerSize);
    anyMember = true;
}

void TGzipDecoder::ResetMember()
{
    inflateReset(&inflater->stream);
    stage = Stage::Header;
    crc = 0;
    size = 0;
}

QByteArray GzipDecode(const QByteArray &data)
{
    TGzipDecoder decoder;
    QByteArray out = decoder.Feed(data);
    decoder.Finish();
    return out;
}

QByteArray GzipDecodeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EGzipError(QStringLiteral("圧縮ファイルを開けませんでした。(%1)").arg(path));
    return GzipDecode(file.readAll());
}

bool IsGzipUrl(const QString &url)
{
    return QUrl(url).path().endsWith(QLatin1String(".gz"), Qt::CaseInsensitive);
}
