// The saves after a thread's download run on the save queue's thread, after the page shows the new
// responses: what is shown while the save is held, a reopen during a pending save, a save that stops
// between the log and its .inf (as when the program ends there), a save that fails, and the end of
// the program with a save pending. The order is forced with the queue's hooks.

#include "PostTestEnv.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/SaveQueue.h"
#include "core/TextList.h"
#include "core/ThreadLogSave.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMutex>
#include <QPlainTextEdit>

#include <atomic>
#include <semaphore>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");

void Grow(TPostWindowEnv &env, int count)
{
    for (int i = 0; i < count; ++i)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("追加%1").arg(i));
}

// The file's bytes as they are on disk now, without waiting for a pending save.
QByteArray OnDisk(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ServerLog(TPostWindowEnv &env)
{
    return env.server.DatBytes(News, Key).replace("\n", "\r\n");
}

// The update has ended for the user (PostTest::Settled waits for the saves too).
bool Shown(TPostWindowEnv &env)
{
    return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0;
}

int StoredCount(const TThreadItem *item)
{
    return TIniFile(item->GetInfFile()).ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT"));
}

// Holds the first thread-log save at the given step until something waits for a pending save (or
// the test ends), and notes what was waited for.
class TSaveGate {
public:
    explicit TSaveGate(TThreadLogSave::TStep at)
    {
        TThreadLogSave::SetStepHook([this, at](TThreadLogSave::TStep step) {
            if (step == at && !held.exchange(true))
                open.acquire();
            return true;
        });
        TSaveQueue::SetWaitHook([this](const QString &key) {
            {
                QMutexLocker lock(&waitsLock);
                waits << key;
            }
            Release();
        });
    }
    ~TSaveGate()
    {
        Release();
        TSaveQueue::Instance().WaitAll();
        TThreadLogSave::SetStepHook({});
        TSaveQueue::SetWaitHook({});
    }

    bool Held() const { return held; }
    QStringList Waits() const
    {
        QMutexLocker lock(&waitsLock);
        return waits;
    }

private:
    std::atomic<bool> held{false};
    std::atomic<bool> released{false};
    std::binary_semaphore open{0};
    mutable QMutex waitsLock;
    QStringList waits;

    void Release()
    {
        if (!released.exchange(true))
            open.release();
    }
};

// Sets a step hook for the test's length.
struct TStepHook {
    explicit TStepHook(std::function<bool(TThreadLogSave::TStep)> hook) { TThreadLogSave::SetStepHook(std::move(hook)); }
    ~TStepHook()
    {
        TSaveQueue::Instance().WaitAll();
        TThreadLogSave::SetStepHook({});
    }
};

// An open thread of five responses, read once and stored.
struct TOpenThread {
    TPostWindowEnv env;
    ItemRef item{NewsItem(env, Key)};

    TOpenThread()
    {
        AddThread(env.server, News, Key, 5);
        OpenThread(env, item.get());
        EXPECT_TRUE(WaitFor([this] { return Settled(env); }));
        TSaveQueue::Instance().WaitAll();   // and stored
    }
    TTavuBrowser *Tab() const { return env.Window()->Tabs().Browsers().value(0); }
};

}  // namespace

// F5 shows the new responses while their save is still held; reopening the thread then waits for
// that save and reads the whole log (the reopen reads only what is stored).
TEST(ThreadSave, TheNewResponsesShowBeforeTheirSaveAndAReopenReadsTheSavedLog)
{
    TOpenThread thread;
    TThreadItem *item = thread.item.get();
    const QByteArray stored = FileUtil::ReadFile(item->GetLogFile());
    const QByteArray storedInf = FileUtil::ReadFile(item->GetInfFile());
    TSaveGate gate(TThreadLogSave::BeforeLog);
    Grow(thread.env, 2);
    OpenThread(thread.env, item, true);
    ASSERT_TRUE(WaitFor([&] { return Shown(thread.env) && gate.Held(); }));

    EXPECT_EQ(thread.Tab()->ResList()->Count(), 7);
    EXPECT_TRUE(PageHtml(thread.Tab()).contains(QStringLiteral("追加1")));
    ASSERT_TRUE(gate.Waits().isEmpty());
    EXPECT_EQ(OnDisk(item->GetLogFile()), stored);   // the save still waits
    EXPECT_EQ(OnDisk(item->GetInfFile()), storedInf);

    thread.env.Window()->Tabs().CloseActiveBrowser();
    item->DownloadRequest = false;
    OpenThread(thread.env, item);
    ASSERT_TRUE(WaitFor([&] { return Settled(thread.env); }));
    EXPECT_TRUE(gate.Waits().contains(item->GetLogFile()) || gate.Waits().contains(item->GetInfFile()));
    ASSERT_NE(thread.Tab(), nullptr);
    EXPECT_EQ(thread.Tab()->ResList()->Count(), 7);
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), ServerLog(thread.env));
    EXPECT_EQ(StoredCount(item), 7);
    TTextList history;
    history.LoadFromFile(thread.env.env.Profile(QStringLiteral("readhist.txt")));
    EXPECT_TRUE(history.Lines.value(0).contains(QLatin1Char('\t') + Key + QLatin1Char('\t')));
}

// A save that stops after the log and before its .inf leaves a log with lines the .inf does not
// count; the program started again ends, after its next fetch, with the server's log.
TEST(ThreadSave, AnEndBetweenTheLogAndItsInfEndsAfterTheNextFetchWithTheServersLog)
{
    TOpenThread thread;
    {
        TStepHook stop([](TThreadLogSave::TStep step) { return step != TThreadLogSave::BeforeInfo; });
        Grow(thread.env, 2);
        OpenThread(thread.env, thread.item.get(), true);
        ASSERT_TRUE(WaitFor([&] { return Settled(thread.env); }));
    }
    const QString log = thread.item->GetLogFile();
    ASSERT_EQ(FileUtil::ReadFile(log).count('\n'), 7);
    ASSERT_EQ(StoredCount(thread.item.get()), 5);

    thread.env.Window()->Tabs().CloseActiveBrowser();
    ItemRef again(NewsItem(thread.env, Key));   // what a new start knows: the stored files
    Grow(thread.env, 1);
    OpenThread(thread.env, again.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(thread.env); }));
    EXPECT_EQ(FileUtil::ReadFile(log), ServerLog(thread.env));
    EXPECT_EQ(StoredCount(again.get()), 8);
    EXPECT_EQ(TIniFile(again->GetInfFile()).ReadInt64(QStringLiteral("LOG"), QStringLiteral("SIZE")),
              thread.env.server.DatBytes(News, Key).size());
    ASSERT_EQ(thread.Tab()->ResList()->Count(), 8);
    EXPECT_TRUE(thread.Tab()->ResList()->Get(7)->Body.contains(QStringLiteral("追加0")));
}

// A log that cannot be written is told in the log pane; nothing after it is written, so the stored
// files stay as they were, and the item goes back to them. The next F5 ends with the server's log.
TEST(ThreadSave, AFailedSaveIsToldAndLeavesTheStoredFilesAsTheyWere)
{
    TOpenThread thread;
    TThreadItem *item = thread.item.get();
    const QByteArray stored = FileUtil::ReadFile(item->GetLogFile());
    const QByteArray storedInf = FileUtil::ReadFile(item->GetInfFile());
    const QString failure = QStringLiteral("ファイルを書き込めません: ") + item->GetLogFile();
    {
        TStepHook fail([&failure](TThreadLogSave::TStep step) {
            if (step == TThreadLogSave::BeforeLog)
                throw EFileError(failure);
            return true;
        });
        Grow(thread.env, 2);
        OpenThread(thread.env, item, true);
        ASSERT_TRUE(WaitFor([&] { return Settled(thread.env); }));
    }
    ASSERT_TRUE(WaitFor([&] { return thread.env.env.LogLines().contains(failure); }));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), stored);
    EXPECT_EQ(FileUtil::ReadFile(item->GetInfFile()), storedInf);
    EXPECT_EQ(item->COUNT, 5);

    OpenThread(thread.env, item, true);
    ASSERT_TRUE(WaitFor([&] { return Settled(thread.env); }));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), ServerLog(thread.env));
    EXPECT_EQ(StoredCount(item), 7);
    EXPECT_EQ(thread.Tab()->ResList()->Count(), 7);
}

// The window, freed as the program ends, finishes the save still pending.
TEST(ThreadSave, TheProgramEndsOnlyAfterThePendingSaves)
{
    TOpenThread thread;
    TThreadItem *item = thread.item.get();
    const QString history = thread.env.env.Profile(QStringLiteral("readhist.txt"));
    QFile::remove(history);
    TSaveGate gate(TThreadLogSave::BeforeLog);
    Grow(thread.env, 2);
    OpenThread(thread.env, item, true);
    ASSERT_TRUE(WaitFor([&] { return Shown(thread.env) && gate.Held(); }));
    ASSERT_TRUE(gate.Waits().isEmpty());

    thread.env.env.Destroy();
    EXPECT_FALSE(gate.Waits().isEmpty());   // the save was still pending: the end waited for it
    EXPECT_EQ(OnDisk(item->GetLogFile()), ServerLog(thread.env));
    EXPECT_EQ(StoredCount(item), 7);
    EXPECT_TRUE(OnDisk(history).contains(Key.toLatin1()));
}
