#include "core/SaveQueue.h"

#include <QCoreApplication>
#include <QHash>
#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

std::function<void(const QString &)> &WaitHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

}  // namespace

struct TSaveQueue::Data {
    struct TSave {
        QStringList Keys;
        TWork Work;
        TDone Done;
    };
    mutable std::mutex lock;
    std::condition_variable changed;
    std::deque<TSave> saves;        // the one running stays first until it has ended
    QHash<QString, int> pending;    // saves queued or running, by key
    std::atomic<int> queued{0};     // quick answer for the usual case: nothing pending
    bool ending = false;
    std::thread worker;
};

TSaveQueue &TSaveQueue::Instance()
{
    static TSaveQueue queue;
    return queue;
}

TSaveQueue::TSaveQueue() : d(std::make_unique<Data>()) {}

TSaveQueue::~TSaveQueue()
{
    {
        std::lock_guard guard(d->lock);
        d->ending = true;
    }
    d->changed.notify_all();
    if (d->worker.joinable())
        d->worker.join();
}

void TSaveQueue::Push(const QStringList &keys, TWork work, TDone done)
{
    {
        std::lock_guard guard(d->lock);
        d->saves.push_back({keys, std::move(work), std::move(done)});
        for (const QString &key : keys)
            ++d->pending[key];
        ++d->queued;
        if (!d->worker.joinable())
            d->worker = std::thread([this] { Run(); });
    }
    d->changed.notify_all();
}

bool TSaveQueue::Pending(const QString &key) const
{
    if (d->queued == 0 || key.isEmpty())
        return false;
    std::lock_guard guard(d->lock);
    return d->pending.value(key) > 0;
}

bool TSaveQueue::Idle() const
{
    return d->queued == 0;
}

void TSaveQueue::Wait(const QString &key)
{
    // On the queue's own thread every save queued before the running one has ended.
    if (!Pending(key) || std::this_thread::get_id() == d->worker.get_id())
        return;
    if (WaitHook())
        WaitHook()(key);
    std::unique_lock guard(d->lock);
    d->changed.wait(guard, [this, &key] { return d->pending.value(key) == 0; });
}

void TSaveQueue::WaitAll()
{
    if (d->queued == 0)
        return;
    if (WaitHook())
        WaitHook()(QString());
    std::unique_lock guard(d->lock);
    d->changed.wait(guard, [this] { return d->saves.empty(); });
}

void TSaveQueue::SetWaitHook(std::function<void(const QString &key)> hook)
{
    WaitHook() = std::move(hook);
}

void TSaveQueue::Run()
{
    std::unique_lock guard(d->lock);
    for (;;) {
        d->changed.wait(guard, [this] { return d->ending || !d->saves.empty(); });
        if (d->saves.empty())
            return;   // ending, with nothing left
        Data::TSave &save = d->saves.front();
        guard.unlock();
        const QString failure = save.Work();
        if (save.Done) {
            // Nothing reports once the application is gone.
            if (QCoreApplication *app = QCoreApplication::instance())
                QMetaObject::invokeMethod(app, [done = std::move(save.Done), failure] { done(failure); },
                                          Qt::QueuedConnection);
        }
        guard.lock();
        for (const QString &key : std::as_const(save.Keys)) {
            if (--d->pending[key] == 0)
                d->pending.remove(key);
        }
        d->saves.pop_front();
        --d->queued;
        d->changed.notify_all();
    }
}
