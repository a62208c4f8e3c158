#pragma once
// TBoard: one board of a site, as one line of the site's board.dat. It knows its site, its board type,
// its URL and its log folder. The board list reads and writes the lines; a line that did not change
// since it was read is written back exactly as it was read.

#include <QString>
#include <QStringList>

class TBBS;
class TBoardList;
class TSite;

class TBoard {
public:
    enum BoardKind {
        KIND_NORMAL = 0,
        KIND_FAVORITES = 1,   // a favorites folder
        KIND_LOCAL = 2,
        KIND_WWW = 3,         // a web page
        KIND_RSS = 4,
    };

    TBoard() = default;
    TBoard(const TBoard &) = delete;
    TBoard &operator=(const TBoard &) = delete;

    // Copies every field but the "log folder exists" flag.
    void Assign(const TBoard &other);

    QString ID;            // unique in the site; names the log folder
    QString BBSName;       // the name the server knows (the board id part before ">" in board.dat)
    QString Name;          // display name
    QString URL;
    QString HostPath;      // host and folder without the scheme, or "<favorites>"
    QString Category;
    int Kind = KIND_NORMAL;
    TBBS *BBS = nullptr;   // board type
    TSite *Site = nullptr; // owner site
    int CodePage = 0;      // 0 Shift_JIS, 1 EUC-JP, 2 UTF-8
    QString LogFolder;     // explicit log folder (full path with a trailing "/"), empty when none
    bool LogFolderExists = false;
    bool Opened = false;   // opened in this run

    // The log folder with a trailing "/": the explicit one, else the one its kind gives
    // (docs/formats.md, "Log tree").
    QString GetLogDir() const;
    // The value of "<dir>": the host path without its host.
    QString GetDir() const;
    // The host of the board URL with its port when it has one, else the host part of the host path.
    QString GetHost() const;
    // The URL that board.dat leaves out when the board's URL equals it.
    QString DerivedUrl() const;

    // The title of the thread with this key in the board's stored subject.txt; empty when none.
    QString LookupSubjectTitle(const QString &key) const;

    // Basic credentials from config/_BasicAuthorization.ini of the profile (section SITEID + ID).
    QString GetBasicAuthUserName() const;
    QString GetBasicAuthPassword() const;

    // Safe names (docs/formats.md, "Safe names").
    static bool IsSafePathPart(const QString &text);
    static QString SafePathPart(const QString &text);

private:
    friend class TBoardList;

    // What the board.dat line said, so that an unchanged board is written back byte for byte and
    // a changed one keeps the fields that did not change.
    struct Loaded {
        bool valid = false;
        QString line;              // the whole line as read
        QString categoryLine;      // the category line the board was read under
        bool startsCategory = false;   // the category line stood right before the board
        QString previousLine;      // the line of the board read before this one (empty for the first)
        QStringList fields;        // every field of the line (field 0 is empty)
        QString hostPath, id, bbsName, name, category, url, logFolder;
        int kind = KIND_NORMAL;
        TBBS *bbs = nullptr;
        int codePage = 0;
    } loaded;

    int DerivedKind() const;
    QString ReadBasicAuth(const QString &key) const;
};
