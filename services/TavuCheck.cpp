#include "services/TavuCheck.h"

#include "core/Board.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/EventLog.h"

#include <QCoreApplication>

#include <condition_variable>
#include <mutex>

TTavuCheck::TTavuCheck()
    : LogSink([](const QString &text) { EventLog::AddLog(text); }),
      items(std::make_unique<TThreadItemList>())
{
}

TTavuCheck::~TTavuCheck() = default;

void TTavuCheck::AddItem(TThreadItem *item)
{
    items->Add(item);
    TEntry entry;
    entry.Item = item;
    entry.Board = item->GetBoard();
    entry.BoardUrl = entry.Board ? entry.Board->URL : QString();
    entry.BoardID = item->BoardID;
    entries.append(entry);
}

namespace {

// The hand-overs to the GUI thread. The worker waits on this lock rather than in Qt's blocking call,
// so that race checkers see the hand-over, and every field it publishes, as well. Both sides take
// the lock before they touch anything of the other.
std::mutex &HandOffLock()
{
    static std::mutex lock;
    return lock;
}

std::condition_variable &HandOffDone()
{
    static std::condition_variable done;
    return done;
}

// Marks a hand-over finished when the posted call goes away, whether it ran or was dropped (an
// application that ends drops the calls still pending).
struct TFinisher {
    explicit TFinisher(bool *done) : done(done) {}
    TFinisher(const TFinisher &) = delete;
    TFinisher &operator=(const TFinisher &) = delete;
    ~TFinisher()
    {
        {
            std::lock_guard<std::mutex> guard(HandOffLock());
            *done = true;
        }
        HandOffDone().notify_all();
    }

private:
    bool *done;
};

}  // namespace

void TTavuCheck::OnGuiThread(const std::function<void()> &work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    bool done = false;
    auto finisher = std::make_shared<TFinisher>(&done);
    {
        std::lock_guard<std::mutex> publish(HandOffLock());
        QMetaObject::invokeMethod(
            app,
            [finisher, &work] {
                { std::lock_guard<std::mutex> take(HandOffLock()); }
                work();
            },
            Qt::QueuedConnection);
    }
    finisher.reset();
    std::unique_lock<std::mutex> wait(HandOffLock());
    HandOffDone().wait(wait, [&done] { return done; });
}

void TTavuCheck::AddLog(const QString &text)
{
    OnGuiThread([this, text] {
        if (LogSink)
            LogSink(text);
    });
}

void TTavuCheck::PlayNewSound()
{
    OnGuiThread([this] {
        if (SoundsDuringRun())
            EventLog::PlayEventSound(NewSound());
    });
}

void TTavuCheck::SetChecking(const QList<TThreadItem *> &batchItems, bool on)
{
    OnGuiThread([&batchItems, on] {
        for (TThreadItem *item : batchItems)
            item->Checking = on;
    });
}

void TTavuCheck::Progress()
{
    OnGuiThread([this] { ShowProgress(); });
}

void TTavuCheck::RepaintThreadList() const
{
    if (Doc && RepaintList)
        RepaintList();
}
