#pragma once
// TTavuListDoc: the thread-list document of a board tab: the threads of one listing (a board's
// subject list, a filter result, a headline), how many of them the view shows, and the state of
// the download that fills it.
//
// Files of the board's log folder it reads and writes:
//   subject.txt  the listing as last received, one subject line per thread ("<key>.dat<>title (n)"),
//                Shift_JIS, CR LF, in listing order;
//   subject.dat  the response count of every listed thread at that time, "<key>=<count>" lines;
//                a thread whose key it lacks is new in the next listing.
// Threads are prepared for display only when they come into the shown range (UpdateList): their
// .inf is read when the folder holds one, and the thread rules are applied. The threads of a listing
// beyond those prepared as it arrives are kept as rows (TListingRows) until they are asked for.
//
// The document owns its two item lists. The tab button and the menu item belong to the main window.

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QAction;
class QIcon;
class QThread;
class TBoard;
class TListingRows;
class TSite;
class TTavuActionList;
class TThreadItem;
class TThreadItemList;
class TThreadListDownloader;

class TTavuListDoc : public QObject {
    Q_OBJECT
public:
    enum TMode { lmBoard = 0, lmFilter = 3, lmHeadline = 4 };
    enum TDownloadState { dsIdle = 0, dsDownloading = 1, dsLoadingStored = 2 };
    enum TTabImage { tiBoard, tiDownloading, tiLoadingStored, tiFilter, tiHeadline, tiLocked };

    // Takes the item list over (a new, empty one when none is given).
    explicit TTavuListDoc(TThreadItemList *items = nullptr, QObject *parent = nullptr);
    ~TTavuListDoc() override;

    TThreadItemList *Items() const { return items.get(); }
    TThreadItemList *ArrivalItems() const { return arrival.get(); }   // in listing order
    // Adds a thread of the listing to both lists.
    void AddItem(TThreadItem *item);
    // Adds a thread as a listing reports it, numbered in arrival order. Past the first ItemLimit + 1
    // (those prepared as they arrive) a bare thread is kept as a row; the item may then go with
    // the reporter's reference.
    void AddListed(TThreadItem *item);
    void ClearItems();

    QString BoardID;
    TSite *Site = nullptr;
    int PageStep = 0;        // rows the next-page command adds
    int PageNumber = 1;      // page of a listing fetched page by page
    int ItemLimit = 0;       // threads prepared as the listing arrives; 0: all
    int Mode = lmBoard;
    bool Favorites = false;
    int DownloadState = dsIdle;
    // The last download of the listing failed; the next one that succeeds (or the end of a
    // stop-all) clears it. The tab image and the commands go by DownloadState alone.
    bool DownloadFailed = false;
    bool Busy = false;
    QPointer<QThread> UpdateCheck;          // the update check or patrol running on the document
    QAbstractButton *TabButton = nullptr;
    QAction *TabMenuItem = nullptr;
    QString Caption;
    // The caption, on the tab button and the tab menu's entry too.
    void SetCaption(const QString &caption);
    int SortColumn = 0;                     // the column the list was last sorted by
    bool SortFlag = false;                  // its direction
    int TopRow = 0;                         // the view's position when the tab was left
    int SelectedRow = 0;
    TThreadListDownloader *Downloader = nullptr;   // the download running, set by its starter
    TTavuActionList *ThreadRules = nullptr;        // ngthread.txt, set by the main window
    // A notice rule hit a thread as it was prepared (the thread, the rule's text); set by the main
    // window.
    std::function<void(TThreadItem *item, const QString &text)> OnThreadNotice;

    // Makes it the current tab: presses its button, checks its menu item and tells the main
    // window (Activated) to show it in the thread list.
    void Activate();
    void DoSelect();
    TBoard *GetBoard() const;   // null when the board is gone

    // The stored listing. Each returns false when the file is missing (or the board is gone).
    bool LoadSubjectDat();
    bool LoadSubjectTxt();      // adds the stored threads and prepares the first ItemLimit of them
    // Write atomically into the board's log folder; raise EFileError on failure.
    void SaveSubjectDat() const;
    void SaveSubjectTxt() const;
    // Notes which threads of the log folder have an .inf.
    void LoadInfFileList();

    // Prepares one thread for display: marks it new when the previous listing lacked it, reads its
    // .inf when there is one (keeping the listing's response count) and applies the thread rules.
    // False when the thread is erased (its .inf says so, or a rule erases it); with removeErased
    // it then leaves the item list (and may be freed).
    bool UpdateList(TThreadItem *item, bool removeErased);
    // Prepares the threads at from..to-1 (clamped to the list); the erased ones leave the item list
    // together, in one pass, and the threads that move up into the range in their place are
    // prepared too.
    void PrepareRows(int from, int to);

    int DisplayCount() const { return displayCount; }
    void SetDisplayCount(int count);   // clamped to the item count
    int CountNewThreads() const;

    void UpdateTabImage();
    static void SetTabImages(std::function<QIcon(TTabImage)> images);
    bool IsLocked() const { return locked; }
    void SetLocked(bool on);
    void CancelDownload();
    // Neither downloading nor left by a failed download: the tab may go with the other tabs.
    bool IsSettled() const { return DownloadState == dsIdle && !DownloadFailed; }

signals:
    void Activated(TTavuListDoc *doc);
    void Select(TTavuListDoc *doc);
    void Changed(TTavuListDoc *doc);

private:
    std::unique_ptr<TThreadItemList> items;
    std::unique_ptr<TThreadItemList> arrival;
    // The keys of subject.dat: the number keys sorted (a listing of a million threads holds them in
    // a few megabytes), the others apart.
    std::vector<qint64> previousKeys;
    QSet<QString> previousOtherKeys;
    QSet<QString> infKeys;                // keys with an .inf in the log folder
    int displayCount = 0;
    bool locked = false;

    QString LogFile(const QString &name) const;
    bool ListedBefore(const QString &key) const;
    bool HasPreviousListing() const;
    // The rows the lists share (new ones when the lists hold none).
    std::shared_ptr<TListingRows> Rows() const;
    bool PrepareRange(int from, int to);   // true when erased threads left
    // Adds a thread of the listing in arrival order: as a row when rowed and its dat name allows,
    // else as an item (which is released here).
    void AddStored(const QString &datName, const QString &title, int count, bool rowed);
    TTabImage CurrentTabImage() const;
};
