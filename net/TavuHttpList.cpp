#include "net/TavuHttpList.h"

#include "net/TavuHttp.h"

#include <QMutexLocker>
#include <QPointer>
#include <QThread>

TTavuHttpList *TavuHttpList = nullptr;

namespace {
void AbortJob(TTavuHttp *job, bool clearEvents)
{
    if (clearEvents)
        job->ClearEvents();
    job->Abort();
}
}  // namespace

TTavuHttpList::~TTavuHttpList()
{
    AbortAll(true);
}

int TTavuHttpList::Count() const
{
    QMutexLocker locker(&lock);
    return int(jobs.size());
}

TTavuHttp *TTavuHttpList::Get(int index) const
{
    QMutexLocker locker(&lock);
    return index >= 0 && index < jobs.size() ? jobs.at(index) : nullptr;
}

void TTavuHttpList::Delete(int index)
{
    QMutexLocker locker(&lock);
    if (index >= 0 && index < jobs.size())
        jobs.removeAt(index);
}

void TTavuHttpList::DeleteFinished()
{
    QMutexLocker locker(&lock);
    jobs.removeIf([](TTavuHttp *job) { return job->IsFinished(); });
}

void TTavuHttpList::Clear()
{
    QMutexLocker locker(&lock);
    jobs.clear();
}

void TTavuHttpList::Add(TTavuHttp *job)
{
    QMutexLocker locker(&lock);
    if (!jobs.contains(job))
        jobs.append(job);
}

void TTavuHttpList::Remove(TTavuHttp *job)
{
    QMutexLocker locker(&lock);
    jobs.removeAll(job);
}

void TTavuHttpList::AbortAll(bool clearEvents)
{
    AbortWhere([](const TTavuHttp *) { return true; }, clearEvents);
}

bool TTavuHttpList::AbortJobsOf(const void *record)
{
    return AbortWhere([record](const TTavuHttp *job) { return job->Job == record && job->IsBusy(); }, false) > 0;
}

int TTavuHttpList::AbortWhere(const std::function<bool(const TTavuHttp *)> &matches, bool clearEvents)
{
    // Jobs of this thread are aborted outside the lock: their handlers may free jobs, which
    // takes them out of the list. Jobs of other threads get the abort posted to their thread
    // while the lock keeps them alive.
    QList<QPointer<TTavuHttp>> here;
    int picked = 0;
    {
        QMutexLocker locker(&lock);
        for (TTavuHttp *job : std::as_const(jobs)) {
            if (!matches(job))
                continue;
            ++picked;
            if (job->thread() == QThread::currentThread())
                here.append(job);
            else
                QMetaObject::invokeMethod(job, [job, clearEvents] { AbortJob(job, clearEvents); }, Qt::QueuedConnection);
        }
    }
    for (const QPointer<TTavuHttp> &job : std::as_const(here))
        if (job)
            AbortJob(job, clearEvents);
    return picked;
}
