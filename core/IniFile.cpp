#include "core/IniFile.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/TextList.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

// One line of a section: a "key=value" pair, or any other line (blank, comment, text without
// "="), which is kept as it is.
struct Entry {
    QString raw;      // the line as written to the file
    QString key;      // trimmed; empty for a line that is not a pair
    QString folded;   // key folded for comparisons ignoring case
    QString value;    // trimmed
    bool IsPair() const { return !key.isEmpty(); }
};

struct Section {
    QString name;
    QString folded;
    QString header;   // the "[name]" line as written
    QList<Entry> entries;
};

// Trims the characters up to the blank, as the ini files have always been read (an ideographic
// space belongs to the text).
QString TrimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= ' ')
        ++b;
    while (e > b && s[e - 1].unicode() <= ' ')
        --e;
    return s.mid(b, e - b).toString();
}

// A line break inside a key or value would split the line and let the rest pass for other keys
// or sections: it is stored as a blank.
QString OneLine(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

Entry ParseEntry(const QString &line)
{
    Entry entry{line, {}, {}, {}};
    const QString trimmed = TrimBlanks(line);
    if (trimmed.startsWith(QLatin1Char(';')))
        return entry;
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return entry;
    entry.key = TrimBlanks(QStringView(trimmed).left(eq));
    entry.folded = entry.key.toCaseFolded();
    entry.value = TrimBlanks(QStringView(trimmed).mid(eq + 1));
    return entry;
}

Entry MakePair(const QString &key, const QString &value)
{
    return ParseEntry(OneLine(key) + QLatin1Char('=') + OneLine(value));
}

bool IsBlankEntry(const Entry &e) { return TrimBlanks(e.raw).isEmpty(); }

// "$1F" and "0x1F" are hexadecimal, as the stored files may hold them.
qint64 ParseInteger(const QString &text, bool *ok)
{
    const QString t = TrimBlanks(text);
    if (t.startsWith(QLatin1Char('$')))
        return t.mid(1).toLongLong(ok, 16);
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return t.mid(2).toLongLong(ok, 16);
    return t.toLongLong(ok, 10);
}

}  // namespace

struct TIniFile::Data {
    QString fileName;
    QStringList preamble;                     // lines before the first section
    QList<Section> sections;                  // in file order; a name may come twice
    QHash<QString, QList<int>> sectionIndex;  // folded name -> indexes into sections
    QByteArray loadedBytes;                   // the file as read, written back while unchanged
    TTextList loadedLines;                    // gives the lines not changed since their own bytes
    QString unreadPath;                       // the file the last Load could not read
    bool dirty = false;
    bool autoSave = false;

    void Parse(const QStringList &lines)
    {
        preamble.clear();
        sections.clear();
        for (const QString &line : lines) {
            const QString trimmed = TrimBlanks(line);
            if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
                const QString name = trimmed.mid(1, trimmed.size() - 2);
                sections.append({name, name.toCaseFolded(), line, {}});
            } else if (sections.isEmpty()) {
                preamble.append(line);
            } else {
                sections.last().entries.append(ParseEntry(line));
            }
        }
        Reindex();
    }

    void Reindex()
    {
        sectionIndex.clear();
        for (int i = 0; i < sections.size(); ++i)
            sectionIndex[sections[i].folded].append(i);
    }

    // The lines of the file, in order.
    QStringList AllLines() const
    {
        QStringList lines = preamble;
        for (const Section &s : sections) {
            lines.append(s.header);
            for (const Entry &e : s.entries)
                lines.append(e.raw);
        }
        return lines;
    }

    QList<int> Blocks(const QString &section) const { return sectionIndex.value(section.toCaseFolded()); }

    // The first pair of the key in the section (in any block of that name), or null.
    Entry *Find(const QString &section, const QString &key)
    {
        const QString folded = key.toCaseFolded();
        for (int b : Blocks(section)) {
            for (Entry &e : sections[b].entries) {
                if (e.IsPair() && e.folded == folded)
                    return &e;
            }
        }
        return nullptr;
    }

    // The pairs a reader sees: each key once, the first occurrence.
    QList<const Entry *> VisiblePairs(const QString &section) const
    {
        QList<const Entry *> pairs;
        QSet<QString> seen;
        for (int b : Blocks(section)) {
            for (const Entry &e : sections[b].entries) {
                if (e.IsPair() && !seen.contains(e.folded)) {
                    seen.insert(e.folded);
                    pairs.append(&e);
                }
            }
        }
        return pairs;
    }

    void AddPair(const QString &section, Entry entry)
    {
        const QList<int> blocks = Blocks(section);
        if (blocks.isEmpty()) {
            AddSection(section, std::move(entry));
            return;
        }
        // after the last line with content, so a blank line closing the section stays last
        QList<Entry> &entries = sections[blocks.first()].entries;
        qsizetype at = entries.size();
        while (at > 0 && IsBlankEntry(entries[at - 1]))
            --at;
        entries.insert(at, std::move(entry));
    }

    void AddSection(const QString &name, Entry first)
    {
        // sections are parted by a blank line, as the files have always been written
        if (!sections.isEmpty()) {
            QList<Entry> &last = sections.last().entries;
            if (last.isEmpty() || !IsBlankEntry(last.last()))
                last.append(ParseEntry(QString()));
        } else if (!preamble.isEmpty() && !TrimBlanks(preamble.last()).isEmpty()) {
            preamble.append(QString());
        }
        const QString clean = OneLine(name);
        sections.append({clean, clean.toCaseFolded(), QLatin1Char('[') + clean + QLatin1Char(']'),
                         {std::move(first), ParseEntry(QString())}});
        sectionIndex[sections.last().folded].append(sections.size() - 1);
    }
};

TIniFile::TIniFile() : d(std::make_unique<Data>()) {}

TIniFile::TIniFile(const QString &fileName) : TIniFile()
{
    d->fileName = fileName;
    Load();
}

TIniFile::~TIniFile() = default;

QString TIniFile::FileName() const { return d->fileName; }

void TIniFile::SetFileName(const QString &fileName) { d->fileName = fileName; }

bool TIniFile::Load()
{
    QByteArray bytes;
    const FileUtil::TReadResult read = FileUtil::ReadWholeFile(d->fileName, bytes);
    d->unreadPath = read == FileUtil::TReadResult::Failed ? d->fileName : QString();
    d->loadedLines.SetBytes(bytes);
    d->Parse(d->loadedLines.Lines);
    d->loadedBytes = bytes;
    d->dirty = false;
    return read == FileUtil::TReadResult::Read;
}

bool TIniFile::ReadFailed() const { return !d->unreadPath.isEmpty() && d->unreadPath == d->fileName; }

void TIniFile::UpdateFile() const
{
    if (ReadFailed())
        throw EFileError(QStringLiteral("読み込めなかったファイルなので上書きしません: %1").arg(d->fileName));
    QByteArray bytes = d->loadedBytes;
    if (d->dirty) {
        TTextList lines = d->loadedLines;
        lines.Lines = d->AllLines();
        bytes = lines.Bytes();
    }
    FileUtil::WriteFileAtomic(d->fileName, bytes);
}

void TIniFile::SetAutoSave(bool on) { d->autoSave = on; }

void TIniFile::SetText(const QString &text)
{
    TTextList lines;
    lines.SetText(text);
    d->Parse(lines.Lines);
    Changed();
}

QString TIniFile::Text() const
{
    return TTextList(d->AllLines()).Text();
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const Entry *e = d->Find(section, key);
    return e ? e->value : def;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    const qint64 v = ReadInt64(section, key, def);
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max() ? int(v) : def;
}

qint64 TIniFile::ReadInt64(const QString &section, const QString &key, qint64 def) const
{
    const Entry *e = d->Find(section, key);
    if (!e)
        return def;
    bool ok = false;
    const qint64 v = ParseInteger(e->value, &ok);
    return ok ? v : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    const Entry *e = d->Find(section, key);
    if (!e)
        return def;
    if (e->value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (e->value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qint64 v = ParseInteger(e->value, &ok);
    return ok ? v != 0 : def;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    Entry pair = MakePair(key, value);
    if (Entry *e = d->Find(section, key)) {
        if (e->value == pair.value)
            return;   // already stored so: the file keeps its bytes
        pair.key = e->key;   // the key keeps the spelling the file gives it
        *e = ParseEntry(pair.key + QLatin1Char('=') + pair.value);
    } else {
        d->AddPair(section, std::move(pair));
    }
    Changed();
}

void TIniFile::WriteInteger(const QString &section, const QString &key, qint64 value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::SectionExists(const QString &section) const { return !d->Blocks(section).isEmpty(); }

bool TIniFile::ValueExists(const QString &section, const QString &key) const { return d->Find(section, key) != nullptr; }

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    for (int i = 0; i < d->sections.size(); ++i) {
        if (d->sectionIndex.value(d->sections[i].folded).first() == i)
            names.append(d->sections[i].name);
    }
    return names;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    for (const Entry *e : d->VisiblePairs(section))
        keys.append(e->key);
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString &section) const
{
    QStringList lines;
    for (const Entry *e : d->VisiblePairs(section))
        lines.append(e->key + QLatin1Char('=') + e->value);
    return lines;
}

QList<int> TIniFile::ReadKeyNumbers(const QString &section, const QString &prefix, int count) const
{
    QList<int> numbers;
    for (const Entry *e : d->VisiblePairs(section)) {
        if (!e->key.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString digits = e->key.mid(prefix.size());
        bool ok = false;
        const int n = digits.toInt(&ok);
        if (ok && n >= 1 && n <= count && digits == QString::number(n))
            numbers.append(n);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void TIniFile::EraseSection(const QString &section)
{
    const QList<int> blocks = d->Blocks(section);
    if (blocks.isEmpty())
        return;
    for (auto it = blocks.crbegin(); it != blocks.crend(); ++it)
        d->sections.removeAt(*it);
    d->Reindex();
    Changed();
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    // every copy of a duplicated key goes, or the next one would show up in its place
    const QString folded = key.toCaseFolded();
    qsizetype removed = 0;
    for (int b : d->Blocks(section)) {
        removed += d->sections[b].entries.removeIf([&](const Entry &e) { return e.IsPair() && e.folded == folded; });
    }
    if (removed > 0)
        Changed();
}

void TIniFile::Clear()
{
    d->preamble.clear();
    d->sections.clear();
    d->sectionIndex.clear();
    Changed();
}

void TIniFile::Changed()
{
    d->dirty = true;
    if (d->autoSave && !d->fileName.isEmpty())
        UpdateFile();
}
