#include "core/JConvert.h"

#include "core/Exceptions.h"

#include <QtGlobal>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <iconv.h>
#include <utility>

namespace jconvert {

namespace {

// The codes iconv converts for us, and their iconv names. EUC-JP is read and written as Windows
// writes it (eucJP-ms: "～" is A1C1 both ways, NEC and IBM extensions included, JIS X 0212 as
// 3-byte codes).
enum Charset { kSjis, kEuc, kJis, kCharsetCount };
constexpr const char *kCharsetNames[kCharsetCount] = {"CP932", "EUC-JP-MS", "ISO-2022-JP"};
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *kUtf16Name = "UTF-16LE";
#else
constexpr const char *kUtf16Name = "UTF-16BE";
#endif

constexpr char16_t kReplacement = 0xFFFD;

// ISO-2022-JP as glibc has it maps a few JIS codes to other characters than Windows does
// ("～" is U+301C there, U+FF5E in the program's text). Pairs of (Windows, JIS) characters.
constexpr std::array<std::pair<char16_t, char16_t>, 6> kJisDifferences{{
    {0xFF5E, 0x301C},   // ～ wave dash
    {0x2225, 0x2016},   // ∥ parallel
    {0xFF0D, 0x2212},   // － minus
    {0xFFE0, 0x00A2},   // ￠ cent
    {0xFFE1, 0x00A3},   // ￡ pound
    {0xFFE2, 0x00AC},   // ￢ not
}};

// One iconv conversion descriptor, opened once per thread and direction and reset before each use.
class Converter {
public:
    Converter(const char *to, const char *from) : cd(iconv_open(to, from))
    {
        if (cd == reinterpret_cast<iconv_t>(-1))
            throw EUTF8UnknownCode(QStringLiteral("文字コード変換を開始できません: %1 → %2")
                                       .arg(QLatin1String(from), QLatin1String(to)));
    }
    ~Converter() { iconv_close(cd); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    void Reset() { iconv(cd, nullptr, nullptr, nullptr, nullptr); }
    // Converts as much as fits; returns false with errno set when it stopped early.
    bool Run(char **in, size_t *inLeft, char **out, size_t *outLeft)
    {
        return iconv(cd, in, inLeft, out, outLeft) != static_cast<size_t>(-1);
    }
    // Writes the sequence that returns a stateful code to its initial state.
    bool Flush(char **out, size_t *outLeft)
    {
        return iconv(cd, nullptr, nullptr, out, outLeft) != static_cast<size_t>(-1);
    }

private:
    iconv_t cd;
};

// The converter of this thread from the charset to UTF-16 (decoding) or back, reset for a new text.
Converter &ConverterFor(Charset charset, bool decoding)
{
    thread_local std::unique_ptr<Converter> converters[kCharsetCount][2];
    std::unique_ptr<Converter> &slot = converters[charset][decoding];
    if (!slot) {
        const char *name = kCharsetNames[charset];
        slot = decoding ? std::make_unique<Converter>(kUtf16Name, name) : std::make_unique<Converter>(name, kUtf16Name);
    }
    slot->Reset();
    return *slot;
}

bool IsAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<uchar>(c) >= 0x80)
            return false;
    }
    return true;
}

bool IsAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// A growable output buffer that iconv writes into directly.
class OutBuffer {
public:
    explicit OutBuffer(qsizetype initial)
    {
        bytes.resize(qMax<qsizetype>(initial, 16));
        pos = bytes.data();
        left = bytes.size();
    }
    char **Pos() { return &pos; }
    size_t *Left() { return &left; }
    void Grow()
    {
        const qsizetype used = Used();
        bytes.resize(bytes.size() * 2);
        pos = bytes.data() + used;
        left = bytes.size() - used;
    }
    void Append(const char *data, qsizetype size)
    {
        while (left < static_cast<size_t>(size))
            Grow();
        memcpy(pos, data, size);
        pos += size;
        left -= size;
    }
    qsizetype Used() const { return pos - bytes.constData(); }
    QByteArray Take()
    {
        bytes.truncate(Used());
        return std::move(bytes);
    }

private:
    QByteArray bytes;
    char *pos;
    size_t left;
};

// Decodes with iconv in one pass, straight into the text; a byte iconv refuses becomes U+FFFD and
// the pass goes on after it, so bad input costs one extra call per bad byte and nothing is dropped.
QString DecodeWith(Charset charset, const QByteArray &bytes)
{
    if (charset != kJis && IsAscii(bytes))   // JIS text is all ASCII bytes, escapes included
        return QString::fromLatin1(bytes);
    Converter &conv = ConverterFor(charset, true);
    QString text(qMax<qsizetype>(bytes.size(), 8), Qt::Uninitialized);   // at most one unit per byte
    qsizetype used = 0;   // bytes of text written
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = bytes.size();
    for (;;) {
        char *out = reinterpret_cast<char *>(text.data()) + used;
        size_t outLeft = size_t(text.size()) * 2 - size_t(used);
        const bool done = conv.Run(&in, &inLeft, &out, &outLeft);
        used = out - reinterpret_cast<char *>(text.data());
        if (done)
            break;
        if (errno != E2BIG && outLeft >= sizeof(char16_t)) {
            // EILSEQ, or EINVAL for a sequence cut at the end
            text[used / 2] = QChar(char16_t(kReplacement));
            used += sizeof(char16_t);
            ++in;
            --inLeft;
        } else {
            text.resize(text.size() * 2);
        }
    }
    text.truncate(used / 2);
    return text;
}

// The code point at position i of text and the number of UTF-16 units it takes; a lone
// surrogate counts as U+FFFD.
std::pair<char32_t, int> CodePointAt(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text.at(i + 1)), 2};
    if (c.isSurrogate())
        return {kReplacement, 1};
    return {c.unicode(), 1};
}

void EnsureFlushed(Converter &conv, OutBuffer &out)
{
    while (!conv.Flush(out.Pos(), out.Left()))
        out.Grow();
}

// Encodes with iconv in one pass; a character the code cannot hold is written as "&#N;"
// (the shift state of ISO-2022-JP returned to ASCII first).
QByteArray EncodeWith(Charset charset, const QString &text)
{
    if (IsAscii(text))
        return text.toLatin1();
    Converter &conv = ConverterFor(charset, false);
    OutBuffer out(text.size() * 2 + 8);
    char *in = reinterpret_cast<char *>(const_cast<ushort *>(text.utf16()));
    size_t inLeft = text.size() * 2;
    while (!conv.Run(&in, &inLeft, out.Pos(), out.Left())) {
        if (errno == E2BIG) {
            out.Grow();
            continue;
        }
        const qsizetype index = text.size() - qsizetype(inLeft / 2);
        const auto [codePoint, units] = CodePointAt(text, index);
        EnsureFlushed(conv, out);
        const QByteArray reference = "&#" + QByteArray::number(uint(codePoint)) + ';';
        out.Append(reference.constData(), reference.size());
        in += units * 2;
        inLeft -= units * 2;
    }
    EnsureFlushed(conv, out);
    return out.Take();
}

QString MapJisDifferences(QString text, bool toJis)
{
    for (QChar &c : text) {
        for (const auto &[windows, jis] : kJisDifferences) {
            if (c.unicode() == (toJis ? windows : jis)) {
                c = QChar(toJis ? jis : windows);
                break;
            }
        }
    }
    return text;
}

// ---- detection ----

bool HasJisEscape(const QByteArray &bytes)
{
    static const char *const escapes[] = {"\x1b$@", "\x1b$B", "\x1b$(D", "\x1b(J", "\x1b(I", "\x1b(B"};
    for (const char *e : escapes) {
        if (bytes.contains(e))
            return true;
    }
    return false;
}

bool InRange(uchar c, uchar low, uchar high) { return c >= low && c <= high; }

// Strict UTF-8 with at least one multi-byte character.
bool IsUtf8(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    bool multi = false;
    for (qsizetype i = 0; i < n;) {
        const uchar c = bytes[i];
        int extra = c < 0x80 ? 0 : InRange(c, 0xC2, 0xDF) ? 1 : InRange(c, 0xE0, 0xEF) ? 2 : InRange(c, 0xF0, 0xF4) ? 3 : -1;
        if (extra < 0 || i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((uchar(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        multi = multi || extra > 0;
        i += extra + 1;
    }
    return multi;
}

// How likely the bytes are Japanese text in the code: -1 when they cannot be, else the count of
// characters in the common ranges (kana and first-level kanji).
int SjisScore(const QByteArray &bytes)
{
    int score = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uchar c = bytes[i];
        if (c < 0x80 || InRange(c, 0xA1, 0xDF))
            continue;
        if (!(InRange(c, 0x81, 0x9F) || InRange(c, 0xE0, 0xFC)) || i + 1 >= n)
            return -1;
        const uchar t = bytes[++i];
        if (!(InRange(t, 0x40, 0x7E) || InRange(t, 0x80, 0xFC)))
            return -1;
        if (c == 0x82 || c == 0x83 || InRange(c, 0x88, 0x98))
            ++score;
    }
    return score;
}

int EucScore(const QByteArray &bytes)
{
    int score = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uchar c = bytes[i];
        if (c < 0x80)
            continue;
        const int length = c == 0x8F ? 3 : 2;
        if (i + length > n)
            return -1;
        if (c == 0x8E) {
            if (!InRange(bytes[i + 1], 0xA1, 0xDF))
                return -1;
        } else {
            for (int k = c == 0x8F ? 1 : 0; k < length; ++k) {
                if (!InRange(bytes[i + k], 0xA1, 0xFE))
                    return -1;
            }
            if (c == 0xA4 || c == 0xA5 || InRange(c, 0xB0, 0xCF))
                ++score;
        }
        i += length - 1;
    }
    return score;
}

}  // namespace

QString SjisToUnicode(const QByteArray &bytes) { return DecodeWith(kSjis, bytes); }
QByteArray UnicodeToSjis(const QString &text) { return EncodeWith(kSjis, text); }
QString EucToUnicode(const QByteArray &bytes) { return DecodeWith(kEuc, bytes); }
QByteArray UnicodeToEuc(const QString &text) { return EncodeWith(kEuc, text); }
QString JisToUnicode(const QByteArray &bytes) { return MapJisDifferences(DecodeWith(kJis, bytes), false); }
QByteArray UnicodeToJis(const QString &text) { return EncodeWith(kJis, MapJisDifferences(text, true)); }

QString Utf8ToUnicode(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    return QString::fromUtf8(view);
}

Code DetectCode(const QByteArray &bytes)
{
    if (HasJisEscape(bytes))
        return JIS;
    if (IsAscii(bytes))
        return ASCII;
    if (IsUtf8(bytes))
        return UTF8;
    const int sjis = SjisScore(bytes);
    const int euc = EucScore(bytes);
    if (sjis < 0 && euc < 0)
        return UNKNOWN;
    return euc > sjis ? EUC : SJIS;
}

QString Decode(const QByteArray &bytes, Code code)
{
    if (code == UNKNOWN)
        code = DetectCode(bytes);
    switch (code) {
    case JIS: return JisToUnicode(bytes);
    case EUC: return EucToUnicode(bytes);
    case UTF8: return Utf8ToUnicode(bytes);
    case ASCII:
    case SJIS:
    case UNKNOWN: break;
    }
    return SjisToUnicode(bytes);
}

QByteArray Encode(const QString &text, Code code)
{
    switch (code) {
    case JIS: return UnicodeToJis(text);
    case EUC: return UnicodeToEuc(text);
    case UTF8: return text.toUtf8();
    case ASCII:
    case SJIS:
    case UNKNOWN: break;
    }
    return UnicodeToSjis(text);
}

QByteArray ConvertJapaneseCode(const QByteArray &bytes, Code target)
{
    Code source = DetectCode(bytes);
    if (source == UNKNOWN)
        source = SJIS;   // unreadable in every code: handled as the program's own code
    if (target == UNKNOWN || target == ASCII)
        target = SJIS;
    if (source == ASCII || source == target)
        return bytes;
    return Encode(Decode(bytes, source), target);
}

}  // namespace jconvert

QByteArray EucToSjis(const QByteArray &euc)
{
    return jconvert::UnicodeToSjis(jconvert::EucToUnicode(euc));
}
