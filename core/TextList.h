#pragma once
// TTextList: a list of text lines as the user files store them: Shift_JIS (CP932), CR LF line ends,
// loaded whole and written whole. Reading accepts CR LF, LF and lone CR; writing always uses CR LF
// (or LF alone when LineBreak is set to "\n"). A missing file loads as an empty list.
// Name=value access and comma text follow the usual list conventions.

#include <QString>
#include <QStringList>

class TTextList {
public:
    TTextList() = default;
    explicit TTextList(QStringList lines) : Lines(std::move(lines)) {}

    QStringList Lines;
    QString LineBreak = QStringLiteral("\r\n");

    // Loads the file; false when it does not exist or cannot be read (the list is then empty).
    bool LoadFromFile(const QString &path);
    // Writes the file atomically; raises EFileError on failure.
    void SaveToFile(const QString &path) const;

    void SetText(const QString &text);   // splits into lines
    QString Text() const;                // lines joined, each followed by LineBreak

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
};
