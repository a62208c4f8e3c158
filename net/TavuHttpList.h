#pragma once
// TTavuHttpList: the global list of live HTTP jobs (TavuHttpList), so stop-all and shutdown reach
// every job. A job enters the list when it starts a request and leaves it when it is destroyed
// (or when the main window deletes it once finished); the list never frees a job.
// The list may be used from any thread; a job pointer from Get is safe to use on the job's own
// thread (the GUI thread for the main window's jobs).

#include <QList>
#include <QMutex>

#include <functional>

class TTavuHttp;

class TTavuHttpList {
public:
    TTavuHttpList() = default;
    ~TTavuHttpList();
    TTavuHttpList(const TTavuHttpList &) = delete;
    TTavuHttpList &operator=(const TTavuHttpList &) = delete;

    int Count() const;
    TTavuHttp *Get(int index) const;
    void Delete(int index);          // takes the job out of the list (it is not freed)
    void DeleteFinished();           // takes every finished job out of the list
    void Clear();

    void Add(TTavuHttp *job);        // once; by the job when it starts
    void Remove(TTavuHttp *job);     // by the job when it is destroyed

    // Aborts every job: those of the calling thread at once, the others on their own thread.
    // With clearEvents the jobs report nothing any more (shutdown).
    void AbortAll(bool clearEvents = false);
    // Aborts the running jobs of one job record (a tab's download); false when none runs.
    bool AbortJobsOf(const void *record);

private:
    // Aborts the jobs that `matches` picks, as AbortAll says; the number picked.
    int AbortWhere(const std::function<bool(const TTavuHttp *)> &matches, bool clearEvents);

    mutable QMutex lock;
    QList<TTavuHttp *> jobs;
};

extern TTavuHttpList *TavuHttpList;
