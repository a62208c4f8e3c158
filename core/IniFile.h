#pragma once
// TIniFile: the ini files of the program (kpw.ini, site.ini, bbs.ini, .inf, skin.ini, boardcnf.ini ...).
// Stored as Shift_JIS with CR LF. Section and key names compare ignoring case (Japanese names too);
// the order of sections and keys and every unknown key are kept, so a load and save with no change
// writes the same bytes. Comment lines (";" first) and blank lines are kept in place.
// Two uses: held in memory (changes reach the file on UpdateFile), or write-through
// (SetAutoSave(true): every write saves the file at once).
// A duplicate key: reads take the first one, writes change the first one, DeleteKey removes all.
// A section name that comes twice is one section (new keys go to its first block).
// Keys and values are read trimmed; a line break written into a key or value is stored as a blank,
// so that no text can add lines of its own. A file loaded and saved without a change keeps its bytes.

#include <QString>
#include <QStringList>
#include <memory>

class TIniFile {
public:
    TIniFile();
    explicit TIniFile(const QString &fileName);   // loads the file when it exists
    ~TIniFile();
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    QString FileName() const;
    void SetFileName(const QString &fileName);     // does not load
    bool Load();                                   // re-reads FileName(); false when missing or unreadable
    bool ReadFailed() const;                       // the last Load found the file but could not read it
    // Writes atomically; raises EFileError, also for the file that the last Load could not read
    // (so that the empty settings read from it never replace it).
    void UpdateFile() const;
    void SetAutoSave(bool on);

    void SetText(const QString &text);             // parses ini text
    QString Text() const;                          // the ini text with CR LF

    QString ReadString(const QString &section, const QString &key, const QString &def = QString()) const;
    int ReadInteger(const QString &section, const QString &key, int def = 0) const;
    qint64 ReadInt64(const QString &section, const QString &key, qint64 def = 0) const;
    bool ReadBool(const QString &section, const QString &key, bool def = false) const;   // "1"/"0", also "true"/"false"
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, qint64 value);
    void WriteBool(const QString &section, const QString &key, bool value);              // "1"/"0"

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    QStringList ReadSections() const;
    QStringList ReadSection(const QString &section) const;          // the keys, in order
    QStringList ReadSectionValues(const QString &section) const;    // "key=value" lines, in order
    // The numbers n from 1 to count, ascending, for which the section holds the key prefix + n
    // ("BBS1", "RESNO12"). Lists with a COUNT key are read through it, so a COUNT that a damaged
    // file makes huge costs no more than the keys the file really holds.
    QList<int> ReadKeyNumbers(const QString &section, const QString &prefix, int count) const;
    void EraseSection(const QString &section);
    void DeleteKey(const QString &section, const QString &key);
    void Clear();

private:
    struct Data;
    std::unique_ptr<Data> d;
    void Changed();
};
