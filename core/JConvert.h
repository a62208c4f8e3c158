#pragma once
// Japanese code conversion at the file and network edges.
// In memory all text is QString. Shift_JIS here always means Windows code page 932 (CP932).
// Encoding to a Japanese code never drops a character: one the code cannot hold is written as an
// HTML numeric character reference ("&#12345;"). Decoding never drops bytes either: a byte sequence
// that is not valid in the code becomes U+FFFD, one per bad byte.
// EUC-JP and ISO-2022-JP map "～", "－", "∥" and the like to the same characters as Shift_JIS, as
// Windows does, so text moves between the three codes unchanged; EUC-JP includes the NEC and IBM
// extensions and the 3-byte JIS X 0212 characters.

#include <QByteArray>
#include <QString>

namespace jconvert {

// The codes of ConvertJapaneseCode and DetectCode.
enum Code {
    UNKNOWN = 0,
    ASCII = 1,
    JIS = 2,   // ISO-2022-JP
    EUC = 3,   // EUC-JP
    UTF8 = 4,
    SJIS = 5,  // CP932
};

QString SjisToUnicode(const QByteArray &bytes);
QByteArray UnicodeToSjis(const QString &text);
QString EucToUnicode(const QByteArray &bytes);
QByteArray UnicodeToEuc(const QString &text);
QString JisToUnicode(const QByteArray &bytes);
QByteArray UnicodeToJis(const QString &text);
QString Utf8ToUnicode(const QByteArray &bytes);

// Guesses the code of a byte string: JIS by its escapes, then UTF-8, EUC-JP or Shift_JIS by which
// reading is valid and most likely; ASCII when every byte is below 0x80.
Code DetectCode(const QByteArray &bytes);

// Decodes bytes of the given code (DetectCode first when UNKNOWN).
QString Decode(const QByteArray &bytes, Code code);
// Encodes text into the given code (ASCII and UNKNOWN encode as Shift_JIS).
QByteArray Encode(const QString &text, Code code);

// Converts bytes of any detected code into the target code.
QByteArray ConvertJapaneseCode(const QByteArray &bytes, Code target);

}  // namespace jconvert

// EUC-JP bytes to Shift_JIS bytes.
QByteArray EucToSjis(const QByteArray &euc);
