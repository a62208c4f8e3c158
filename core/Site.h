#pragma once
// TSite: one site: its site.ini and its boards (board.dat). The files of a site are looked up in three
// layers, the profile's copy first, then the program folder's config/ and the shipped def/config/;
// every write goes to the profile's copy (docs/formats.md, "Where the site and board-type files live").

#include "core/IniFile.h"

#include <QString>
#include <QStringList>
#include <memory>

class TBBS;
class TBBSList;
class TBoard;
class TBoardList;
class TSiteList;

class TSite {
public:
    enum SiteKind {
        KIND_NORMAL = 0,
        KIND_USER = 1,
        KIND_LOCAL = 2,
        KIND_FAVORITES = 3,
        KIND_RSS = 4,
    };

    // types: the registry's board types, used to resolve BBSTYPE and the boards' types.
    TSite(const QString &siteId, int kind, const TBBSList *types);
    ~TSite();
    TSite(const TSite &) = delete;
    TSite &operator=(const TSite &) = delete;

    QString SITEID;
    QString NAME;
    QString URL;
    QString ADMIN;
    QString BBSTYPE;            // the type id as site.ini writes it
    TBBS *BBS = nullptr;        // default board type; null when BBSTYPE names none
    int CodePage = 0;           // 0 Shift_JIS, 1 EUC-JP, 2 UTF-8
    int Kind = KIND_NORMAL;
    int ImageIndex = -1;        // index in the main window's site images; -1 until loaded
    bool Listed = false;        // shown in the site list (bbs.txt)
    QString CounterID;          // [NINKINET] ID
    QStringList Includes;       // [INCLUDE] patterns
    TBoardList *Boards;         // owned
    TSiteList *Owner = nullptr; // the list that holds the site (set by TSiteList::Add)

    // Reads site.ini. False when no layer has one (the site then keeps the defaults of its kind).
    bool Load();
    const TIniFile &Ini() const { return *ini; }

    // Re-reads board.dat into Boards and sets each board's "log folder exists" flag.
    void LoadBoards();
    // Writes Boards to the profile's board.dat (after a board.bak copy).
    void SaveBoards();

    // The profile's folder of the site, with a trailing "/".
    QString GetDir() const;
    // The site's log folder: log root + SITEID + "/".
    QString GetLogDir() const;
    // The first layer's copy of a site file; empty when no layer has it.
    QString FindFile(const QString &name) const;
    // The profile's path of a site file, copied there first from the layer that has it when the
    // profile has none; for files that are about to be written.
    QString PrepareOwnFile(const QString &name) const;

    // True when one INCLUDE pattern matches the URL (wildcards, ignoring case).
    bool MatchUrl(const QString &url) const;
    // [SITE] LOCALRULE filled for the board; empty when the site has none. A user site without one
    // takes head.txt in the board's folder.
    QString GetLocalRule(const TBoard *board) const;

    // The folder ids and the defaults of the special sites.
    static int KindOfFolder(const QString &siteId);
    static QString FolderOfKind(int kind);

private:
    const TBBSList *types;
    std::unique_ptr<TIniFile> ini;

    QStringList LayerDirs() const;
    void ApplyDefaults();
    void ResolveFavoriteShortcut(TBoard &board) const;
};
