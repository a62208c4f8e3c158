#pragma once
// TThreadItem: one thread of a board: where its log lies, its counts, marks and state.
//
// An item sits in several lists at once (a thread list, favorites, open tabs, a patrol), so it is
// reference-counted: creation gives one reference, AddRef adds one, Release drops one and frees the
// item at zero. The count is atomic; the other fields belong to whoever holds the item.
//
// The log of a thread is <board log folder><dat name> (a ".dat"), with the index file beside it
// (same path, ".inf") and, in the log-compatibility mode, an ".idx" too. A thread moved to a local
// folder leaves a small .inf at its former place whose [INFO] LOCAL names the new folder; the log
// path follows it. The .inf keys are described in docs/formats.md.
//
// Fields that are stored in the .inf carry the name of their key.

#include "core/Bookmark.h"
#include "core/Colors.h"

#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class TBBS;
class TBoard;
class TIniFile;
class TResList;
class TSite;

class TThreadItem {
public:
    TThreadItem();
    TThreadItem(const TThreadItem &) = delete;
    TThreadItem &operator=(const TThreadItem &) = delete;

    // Reference counting; safe from any thread.
    void AddRef();
    void Release();
    int RefCount() const { return refCount.load(); }

    // Binds the item to a site, a board and a log. The dat name may be given as the bare key
    // (".dat" is added when it has no extension). False when the site or board is unknown or the
    // dat name is not a safe file name; what is known is kept (an unsafe dat name is not).
    bool SetLocation(const QString &siteId, const QString &boardId, const QString &datName,
                     const QString &title);
    // Takes the site, board, board type, dat name, title and explicit log path of another item.
    void CopyLocation(const TThreadItem &other);
    void SetTitle(const QString &title);
    // The title as the user reads it in lists, tabs and captions: TITLE keeps the entities the
    // server wrote ("&lt;", "&amp;", "&#N;"), this gives their characters.
    QString ShownTitle() const;
    // An explicit log path (a log outside the log tree, or one found in a folder listing).
    void SetLogFile(const QString &path);
    // An explicit board (a board that is not in its site's list, e.g. one made from a URL).
    void SetBoard(TBoard *board);

    // The dat name without its extension (everything from the first ".").
    QString GetKey() const;
    // The key without a copy, valid while DatName stays.
    QStringView KeyView() const;
    // True when the other item is of the same thread (the item itself is): the same site, board id
    // and key. Nothing is copied to find it, so a long list can be searched with it.
    bool IsSameThread(const TThreadItem &other) const;
    // The same test for two items either of which may be missing: false when one is.
    static bool SameThread(const TThreadItem *a, const TThreadItem *b) { return a && b && a->IsSameThread(*b); }
    // The explicit board, else the site's board with the item's board id, else nullptr.
    TBoard *GetBoard() const;
    // The .dat path; empty while the item has no board and no explicit log.
    QString GetLogFile() const;
    QString GetInfFile() const;
    QString GetIdxFile() const;
    QString GetBakFile() const;   // the copy kept while the log is fetched anew
    bool LogExists() const;
    // The .inf path beside a log path.
    static QString InfPathOf(const QString &logPath);
    // The thread logs of a log folder in name order: its .dat files but subject.dat, which holds
    // the counts of the listing.
    static QStringList LogFilesIn(const QString &folder);

    // Re-reads the .inf into the fields (the live flag follows KAKOLOG). Keys that are missing (a new
    // or a truncated file) read as their defaults; TITLE and AGECOUNT then keep what the item already
    // had (from the listing). Gives the response numbers the .inf marks erased, as ReadErasedRes does,
    // so that an opening reads the file once.
    QSet<int> LoadInfo();
    // LoadInfo for a thread a listing holds: the response count the listing reported (when it
    // reported one) stays. Read before a listed thread's .inf is written, so that nothing of it goes
    // back to what the listing knew.
    void ReloadInfo();
    // The fields of another item of the thread, as LoadInfo reads them once that item's .inf is
    // saved, taken without the file: nothing waits for the save still pending on it. From an item
    // that never read its .inf (it does not know the bookmarks stored there) this is LoadInfo.
    void TakeInfoOf(const TThreadItem &other);
    // Writes the fields into the .inf (other sections of the file are kept) and, in the
    // log-compatibility mode, the .idx. False when the item has no log path or the write failed.
    bool SaveInfo();
    // What SaveInfo writes: the fields into the .inf held in inf, and, when WritesIdx, into the .idx.
    void WriteInfo(TIniFile &inf) const;
    static bool WritesIdx();
    void WriteIdx(TIniFile &idx) const;
    // Waits for the saves still pending on the thread's files (TSaveQueue). Every method here that
    // reads or writes those files does so first; LogExists counts a log whose first save is pending.
    void FinishSaving() const;
    // Re-reads what others write into the .inf directly (bookmarks, the local-folder redirect)
    // without touching the other fields; gives the response numbers marked erased, as
    // ReadErasedRes does.
    QSet<int> OpenInf();
    // The response numbers marked erased in the .inf.
    QSet<int> ReadErasedRes() const;

    // Appends the stored responses to the list; erased ones are marked. A torn append is cut off first.
    void LoadResList(TResList &list) const;

    // The log and its .inf are written one after the other, so a crash between the two leaves a
    // log that holds lines its .inf does not count. Given the stored lines, makes COUNT and SIZE
    // describe them (in memory; the save after the next fetch stores them): the lines the .inf did
    // not count are added to SIZE, each ended as the server ended the counted ones (LF or CR LF).
    // When that cannot be told (the log holds fewer lines than counted, or serverBytes is false:
    // the server sends another code than the stored one), SIZE and the validators are cleared, so
    // the next fetch reads the whole file and keeps only what follows the stored lines.
    // True when something was repaired.
    bool RepairInfoFromLog(const QList<QByteArray> &storedLines, bool serverBytes);
    // New lines are appended to a stored log before its .inf counts them (TResList::AppendDat), so
    // an append cut short leaves, after the lines the .inf counts, whole lines and a last line
    // without its line break. That line was never whole: the log is cut back to its last line
    // break (rewritten atomically) before anything reads it. A log whose unended last line the .inf
    // counts, or that has no .inf count, is the log's own and stays. True when the log was cut.
    bool CutTornAppend() const;

    void SetKakolog(bool on);          // KAKOLOG := on, live := !on; memory only
    void SetPriority(int value);       // clamped to 0..9999
    void SetRead(int count);
    void SetLastLoad(const QString &text);
    // A download stored the log: LAST_LOAD is now ("yyyy/MM/dd hh:mm:ss").
    void SetLastLoadNow();
    // The server holds at least the responses of the log: AGECOUNT is raised to COUNT.
    void RaiseListedCount();

    enum DeleteFlag {
        DeleteAll = 0,
        KeepInf = 1,   // the .inf stays; its LOG validators move to section BAK (a fetch starts anew)
    };
    // Moves the log into a local folder: the item gets the local-folder mark (a past-log mark is
    // cleared), the .dat, .inf, .txt (memo) and .bak files move into the folder, the moved .inf gets
    // [ORG] SITEID and BOARDID of the former place unless it has them, and a redirect ([INFO] LOCAL)
    // is left at the former place. False, with the log left where it was, when the item has no log,
    // the folder is where the log already is, or the .dat or .inf cannot be moved (a log of the
    // same name in the folder is never overwritten).
    bool MoveToLocalFolder(const QString &folder);

    // Deletes the .dat, the .idx and (unless KeepInf) the .inf and the log's ".bak" copy.
    // A redirect left at the former place of a moved log is deleted too (unless KeepInf).
    void DeleteLog(int flags = DeleteAll);

    // Where the thread is.
    TSite *Site = nullptr;
    QString BoardID;
    TBBS *BBS = nullptr;
    QString DatName;

    // Stored in the .inf.
    QString TITLE;
    int AGECOUNT = 0;      // responses the listing reports
    int COUNT = 0;         // responses in the log
    int READ = 0;          // responses read
    bool BOLD = false;
    bool REVERSE = false;
    TColor COLOR = clWindowText;
    bool ABONE = false;    // the thread is erased from the lists
    bool KAKOLOG = false;  // in the past-log store
    bool FAVORITE = false;
    bool SHORTCUT = false;
    int PRIORITY = 0;
    int READPOINT = 0;     // "ここまで読んだ"
    int TOP = 0;           // response at the top of the view when the tab was left
    QString COMMENT;
    QString LAST_LOAD;     // "yyyy/mm/dd hh:nn:ss"
    QString LAST_SENT;
    int LOAD_COUNT = 0;    // fetches
    int SEND_COUNT = 0;    // posts
    QString SINCE;         // creation date of the thread
    QString THREADNO;      // thread-number text
    bool LOCALLOG = false; // the log was moved into a local folder
    QString LAST_MODIFIED; // validators of the last fetch
    QString ETAG;
    qint64 SIZE = 0;       // bytes of the log as the server counts them (where a range starts)
    TBookmarkList Bookmarks;

    // Not stored.
    int Number = 0;        // listing number (1-based)
    int NewCount = -1;     // new responses; -1 until a download sets it
    int ServerCount = 0;   // post count reported by an outside search
    bool Live = true;      // false once marked as moved to the past-log store
    bool DownloadRequest = false;
    bool IsNew = false;    // new in this listing
    bool Updated = false;  // a check found more posts
    bool Checking = false; // in the batch of an update check or patrol
    bool CheckError = false;
    bool Shown = false;    // shown in a tab

    // Events.
    std::function<void(TThreadItem *)> OnAddRef;
    std::function<void(TThreadItem *)> OnRelease;
    std::function<void(TThreadItem *)> OnChange;

private:
    ~TThreadItem();

    std::atomic<int> refCount{1};
    TBoard *board = nullptr;     // explicit board
    QString logFile;             // explicit log path
    mutable QMutex resolveLock;  // the item is read from check threads too
    mutable QString resolvedLog; // GetLogFile's answer, cached
    mutable bool resolved = false;
    bool bookmarksRead = false;  // Bookmarks reflect the .inf

    QString ResolveLogFile() const;
    QString SiblingOfLog(const QString &extension) const;
    void ForgetLogFile();
    void Changed();
    void ReadBookmarks(const TIniFile &inf);
    void ReadInfo(const TIniFile &inf);   // the fields from the .inf held in inf
    static QSet<int> ErasedIn(const TIniFile &inf);   // the responses marked erased in the .inf
    void WriteBookmarks(TIniFile &inf) const;
    void MoveValidatorsToBak() const;
    void RemoveRedirects() const;
    void WriteMoveMarks(const QString &formerInf, const QString &movedInf, const QString &folder) const;
};
