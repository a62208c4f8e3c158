#pragma once
// TTextList: a list of text lines as the user files store them: Shift_JIS (CP932), CR LF line ends,
// loaded whole and written whole. Reading accepts CR LF, LF and lone CR; new and changed lines are
// written with CR LF (or LF alone when LineBreak is set to "\n"). A missing file loads as an empty
// list.
// What the user's file holds is kept: a line loaded from the file and still in the list is written
// back with its own bytes and line end (bytes that are not valid Shift_JIS, an LF or a lone CR
// included), a list saved unchanged to the file it came from is not written at all, and a file that
// exists but could not be read is never written over by the list that failed to read it.
// Name=value access and comma text follow the usual list conventions.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class TTextList {
public:
    TTextList() = default;
    explicit TTextList(QStringList lines) : Lines(std::move(lines)) {}

    QStringList Lines;
    QString LineBreak = QStringLiteral("\r\n");

    // Loads the file; false when it does not exist or cannot be read (the list is then empty).
    // ReadFailed tells the two apart.
    bool LoadFromFile(const QString &path);
    // True when the last LoadFromFile found the file but could not read it.
    bool ReadFailed() const { return !unreadPath.isEmpty(); }
    // Writes the file atomically unless it holds this list already; raises EFileError on failure,
    // and when path is the file this list could not read.
    void SaveToFile(const QString &path) const;
    // Writes the lines as the file at path through a list read from that file first, so that the
    // lines that stay keep their bytes, an unchanged file is not written, and a file that exists
    // but cannot be read is refused (EFileError) rather than replaced.
    static void RewriteFile(const QString &path, const QStringList &lines);

    void SetText(const QString &text);   // splits into lines
    QString Text() const;                // lines joined, each followed by LineBreak
    // The lines of a file's bytes, as LoadFromFile reads them; Bytes gives the file's bytes as
    // SaveToFile writes them, lines read here keeping their own.
    void SetBytes(const QByteArray &bytes);
    QByteArray Bytes() const;

    int Count() const { return Lines.size(); }
    const QString &operator[](int i) const { return Lines[i]; }
    void Add(const QString &line) { Lines.append(line); }
    void Clear() { Lines.clear(); }
    int IndexOf(const QString &line) const;   // ignoring case, -1 when absent

    // "name=value" lines. Names compare ignoring case.
    int IndexOfName(const QString &name) const;
    QString Value(const QString &name) const;
    void SetValue(const QString &name, const QString &value);   // appends when absent; removes on empty value
    static QString NameOf(const QString &line);
    static QString ValueOf(const QString &line);

    // Comma text: fields separated by "," or blanks; a field holding those is quoted with '"'
    // (a quote inside doubled).
    static QStringList SplitCommaText(const QString &text);
    static QString JoinCommaText(const QStringList &fields);

private:
    // The bytes of a loaded line that the encoder would not give back the same: its text without
    // the line end, and the line end ("\r\n", "\n", "\r", or empty after the last line).
    struct TStoredLine {
        QByteArray Body;
        QByteArray End;
    };
    QHash<QString, QList<TStoredLine>> storedBytes;   // by the line's text, in file order
    QString unreadPath;
    // The file and lines as last loaded or saved; a save changes them, hence mutable.
    mutable QString storedPath;
    mutable QStringList storedLines;
};
