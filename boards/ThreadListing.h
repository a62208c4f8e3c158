#pragma once
// The threads of a listing as a thread-list job receives them: one TThreadItem per listed thread,
// reported to OnThreadItem and, until it answers false, to OnProgress; then OnError (when failed)
// and OnDone. The job frees nothing of what it got: each list that keeps an item holds its own
// reference.

#include <QString>

class TBoard;
class TThreadItem;
class TThreadListDownloader;

class TThreadListing {
public:
    explicit TThreadListing(TThreadListDownloader *job) : job(job) {}

    // A new item of the board's thread (dat name checked by the caller), listed at number.
    static TThreadItem *NewItem(TBoard *board, const QString &datName, const QString &title, int count, int number);

    // Reports the item to both callbacks and drops the reference it was made with.
    void Report(TThreadItem *item, int maximum, int position);
    // Reports an item of the stored list (a "not modified" answer): OnThreadItem only.
    void ReportStored(TThreadItem *item);
    void Error(int code, const QString &message, const QString &detail = QString());
    // The end; the job may be freed by it.
    void Done(bool failed);

private:
    TThreadListDownloader *job;
    bool progress = true;   // OnProgress still wants items
};
