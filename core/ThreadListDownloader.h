#pragma once
// TThreadListDownloader: the record of one thread-list download, carried between the caller and the
// board type. The board type reports every listed thread (OnThreadItem, and OnProgress, whose answer
// false asks it to report no more threads), the end (OnDone) and errors (OnError).

#include <QObject>
#include <QPointer>
#include <functional>

class TBBS;
class TBoard;
class TSite;
class TThreadItem;
class TThreadItemList;

class TThreadListDownloader {
public:
    TBBS *BBS = nullptr;
    TSite *Site = nullptr;
    TBoard *Board = nullptr;
    int CodePage = 0;                  // 0 Shift_JIS, 1 EUC-JP, 2 UTF-8
    TThreadItemList *Items = nullptr;  // the document's item list or a result list; not owned
    QPointer<QObject> Doc;             // the thread-list document, if any
    int Page = 1;                      // page of a listing fetched page by page
    bool NotModified = false;          // the server answered "not modified" (or only the cache is shown)

    std::function<void(TThreadListDownloader *, TThreadItem *)> OnThreadItem;
    // item is nullptr for a progress step without a thread; the answer says whether to go on.
    std::function<bool(TThreadListDownloader *, TThreadItem *, int maximum, int position)> OnProgress;
    std::function<void(TThreadListDownloader *, bool failed)> OnDone;
    std::function<void(TThreadListDownloader *, int code, const QString &message, const QString &detail)>
        OnError;
};
