#pragma once
// TDownloaderList: the downloaders of downapp.txt in the profile folder that link extraction
// offers, one per line: the name, "=", the path. The name is the text before the first "=", the
// path the text after it up to the next "=" (or the end of the line).
//
// A row keeps the line it was read from and is written back as that line while its name and path
// are unchanged, so a line that does not fit the form (no "=", or a path holding "=") survives a
// save untouched.

#include <QList>
#include <QString>

struct TDownloader {
    QString Name;
    QString Path;
    QString Line;          // the line read from the file
    bool FromFile = false; // false for a row made in the program

    static TDownloader FromLine(const QString &line);
    QString ToLine() const;
};

class TDownloaderList {
public:
    QList<TDownloader> Items;

    // A missing file leaves the list empty (false).
    bool LoadFromFile(const QString &path);
    // Writes one line per row, also when there is none; raises EFileError on failure.
    void SaveToFile(const QString &path) const;
};
