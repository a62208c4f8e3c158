#pragma once
// TSaveQueue: writes that the user need not wait for (a thread's log and .inf after its download, a
// history line), done one after the other on a thread of their own, in the order they were queued.
//
// Each save names the files it writes (its keys). Whoever reads or writes one of those files first
// waits for the saves pending on it (Wait); TThreadItem does so for the files of its thread, and
// TTextList for the lists it loads. The program finishes every pending save before it ends
// (WaitAll). What a save reports (its failure, or nothing) reaches its `done` on the application's
// thread, through the event loop.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TSaveQueue {
public:
    // A save: writes and returns the failure's message, or an empty string when all was written.
    using TWork = std::function<QString()>;
    using TDone = std::function<void(const QString &failure)>;

    static TSaveQueue &Instance();

    void Push(const QStringList &keys, TWork work, TDone done = {});
    bool Pending(const QString &key) const;
    bool Idle() const;   // no save queued or running
    // Returns once no save queued for the key is left.
    void Wait(const QString &key);
    void WaitAll();

    // Test hook: called on the waiting thread when Wait finds a save pending on the key (WaitAll:
    // any save pending, the key empty), before it waits.
    static void SetWaitHook(std::function<void(const QString &key)> hook);

    ~TSaveQueue();

private:
    TSaveQueue();
    struct Data;
    std::unique_ptr<Data> d;
    void Run();
};
