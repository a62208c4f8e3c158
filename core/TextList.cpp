#include "core/TextList.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

// Lead bytes of the NEC and IBM extensions, whose characters have two codes each: a line holding
// one may not encode back to its own bytes.
bool MayNotRoundTrip(QByteArrayView body)
{
    return std::any_of(body.begin(), body.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b == 0x87 || b == 0xED || b == 0xEE || b >= 0xFA;
    });
}

// The bytes of a file split into lines, each body with its line end (CR and LF are never part of a
// Shift_JIS character).
QList<std::pair<QByteArrayView, QByteArrayView>> ByteLines(const QByteArray &bytes)
{
    QList<std::pair<QByteArrayView, QByteArrayView>> lines;
    const QByteArrayView all(bytes);
    const qsizetype n = all.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && all[end] != '\r' && all[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < n)
            next += all[next] == '\r' && next + 1 < n && all[next + 1] == '\n' ? 2 : 1;
        lines.append({all.sliced(start, end - start), all.sliced(end, next - end)});
        start = next;
    }
    return lines;
}

// True when the whole file is as the writer gives it: the line end after every line, and no byte the
// encoder would write otherwise.
bool InWrittenForm(const QByteArray &bytes, const QString &text, const QByteArray &lineEnd)
{
    if (lineEnd != "\r\n")
        return false;
    const qsizetype ends = bytes.count("\r\n");
    return bytes.count('\n') == ends && bytes.count('\r') == ends && (bytes.isEmpty() || bytes.endsWith("\r\n"))
        && !MayNotRoundTrip(bytes) && !text.contains(QChar::ReplacementCharacter);
}

}  // namespace

bool TTextList::LoadFromFile(const QString &path)
{
    Lines.clear();
    storedBytes.clear();
    unreadPath.clear();
    storedPath.clear();
    QByteArray bytes;
    switch (FileUtil::ReadWholeFile(path, bytes)) {
    case FileUtil::TReadResult::Missing:
        return false;
    case FileUtil::TReadResult::Failed:
        unreadPath = path;
        return false;
    case FileUtil::TReadResult::Read:
        break;
    }
    SetBytes(bytes);
    storedPath = path;
    storedLines = Lines;
    return true;
}

// Reads the lines and keeps the bytes of every line that would not be written back the same.
void TTextList::SetBytes(const QByteArray &bytes)
{
    storedBytes.clear();
    const QString text = jconvert::SjisToUnicode(bytes);
    SetText(text);
    const QByteArray canonicalEnd = jconvert::UnicodeToSjis(LineBreak);
    if (InWrittenForm(bytes, text, canonicalEnd))
        return;   // every line is as the writer gives it: nothing to keep
    const auto byteLines = ByteLines(bytes);
    if (byteLines.size() != Lines.size()) {
        // a broken character took a line end with it: read line by line instead
        Lines.clear();
        for (const auto &[body, end] : byteLines)
            Lines.append(jconvert::SjisToUnicode(body.toByteArray()));
    }
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        const auto &[body, end] = byteLines[i];
        const QString &line = Lines[i];
        const bool sameBytes = end == canonicalEnd && !line.contains(QChar::ReplacementCharacter)
            && (!MayNotRoundTrip(body) || jconvert::UnicodeToSjis(line) == body);
        if (!sameBytes)
            storedBytes[line].append({body.toByteArray(), end.toByteArray()});
    }
}

void TTextList::SaveToFile(const QString &path) const
{
    if (path == unreadPath)
        throw EFileError(QStringLiteral("読み込めなかったファイルなので上書きしません: %1").arg(path));
    if (path == storedPath && Lines == storedLines && QFileInfo(path).isFile())
        return;
    FileUtil::WriteFileAtomic(path, Bytes());
    storedPath = path;
    storedLines = Lines;
}

void TTextList::RewriteFile(const QString &path, const QStringList &lines)
{
    TTextList file;
    file.LoadFromFile(path);
    file.Lines = lines;
    file.SaveToFile(path);
}

// The file's bytes: a line loaded from the file gets its own bytes back, in file order for lines
// of the same text; any other line is encoded and ended with LineBreak.
QByteArray TTextList::Bytes() const
{
    if (storedBytes.isEmpty())
        return jconvert::UnicodeToSjis(Text());
    const QByteArray lineBreak = jconvert::UnicodeToSjis(LineBreak);
    QHash<QString, int> used;
    QByteArray bytes;
    for (const QString &line : Lines) {
        const auto stored = storedBytes.constFind(line);
        if (stored == storedBytes.constEnd()) {
            bytes += jconvert::UnicodeToSjis(line);
            bytes += lineBreak;
            continue;
        }
        int &next = used[line];
        const TStoredLine &kept = stored->at(std::min<qsizetype>(next, stored->size() - 1));
        ++next;
        bytes += kept.Body;
        bytes += kept.End.isEmpty() ? lineBreak : kept.End;
    }
    return bytes;
}

void TTextList::SetText(const QString &text)
{
    Lines.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        Lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        Lines.append(text.mid(start));
}

QString TTextList::Text() const
{
    QString text;
    qsizetype size = 0;
    for (const QString &line : Lines)
        size += line.size() + LineBreak.size();
    text.reserve(size);
    for (const QString &line : Lines) {
        text += line;
        text += LineBreak;
    }
    return text;
}

int TTextList::IndexOf(const QString &line) const
{
    for (int i = 0; i < Lines.size(); ++i) {
        if (Lines[i].compare(line, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TTextList::IndexOfName(const QString &name) const
{
    for (int i = 0; i < Lines.size(); ++i) {
        const qsizetype eq = Lines[i].indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(Lines[i]).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TTextList::Value(const QString &name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? QString() : ValueOf(Lines[i]);
}

void TTextList::SetValue(const QString &name, const QString &value)
{
    const int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Lines.removeAt(i);
    } else if (i >= 0) {
        Lines[i] = name + QLatin1Char('=') + value;
    } else {
        Lines.append(name + QLatin1Char('=') + value);
    }
}

QString TTextList::NameOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.left(eq);
}

QString TTextList::ValueOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

namespace {

constexpr QChar kQuote = QLatin1Char('"');
constexpr QChar kDelimiter = QLatin1Char(',');

bool IsBlank(QChar c) { return c.unicode() > 0 && c.unicode() <= ' '; }

}  // namespace

QStringList TTextList::SplitCommaText(const QString &text)
{
    QStringList fields;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsBlank(text.at(i)))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString field;
        if (text.at(i) == kQuote) {
            // quoted: up to the closing quote, a doubled quote standing for one
            for (++i; i < n; ++i) {
                if (text.at(i) != kQuote) {
                    field += text.at(i);
                } else if (i + 1 < n && text.at(i + 1) == kQuote) {
                    field += kQuote;
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const qsizetype start = i;
            while (i < n && text.at(i).unicode() > ' ' && text.at(i) != kDelimiter)
                ++i;
            field = text.mid(start, i - start);
        }
        fields.append(field);
        skipBlanks();
        if (i < n && text.at(i) == kDelimiter) {
            ++i;
            skipBlanks();
        }
    }
    return fields;
}

QString TTextList::JoinCommaText(const QStringList &fields)
{
    if (fields.size() == 1 && fields.first().isEmpty())
        return QStringLiteral("\"\"");
    QStringList parts;
    for (const QString &field : fields) {
        const bool needsQuotes = std::any_of(field.begin(), field.end(), [](QChar c) {
            return c.unicode() <= ' ' || c == kQuote || c == kDelimiter;
        });
        if (needsQuotes) {
            QString quoted = field;
            quoted.replace(kQuote, QStringLiteral("\"\""));
            parts.append(kQuote + quoted + kQuote);
        } else {
            parts.append(field);
        }
    }
    return parts.join(kDelimiter);
}
