// New lines are appended to a thread log, then its .inf counts them. A save killed at any instant,
// or an append that a power cut left torn, must not make the next fetch duplicate or lose
// responses: the fetch ends with the server's log.

#include "BoardTestEnv.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "support/WaitLimit.h"

#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString News = QStringLiteral("news");
const QString Key = QStringLiteral("1000000001");

// The data root of the test in memory when the system has such a folder: a kill leaves what a
// process wrote in the page cache either way, and the saves do not wait for a disk.
class MemoryTempDir {
public:
    MemoryTempDir() : old(qgetenv("TMPDIR")), had(qEnvironmentVariableIsSet("TMPDIR"))
    {
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            qputenv("TMPDIR", "/dev/shm");
    }
    ~MemoryTempDir()
    {
        if (had)
            qputenv("TMPDIR", old);
        else
            qunsetenv("TMPDIR");
    }

private:
    QByteArray old;
    bool had;
};

// Reads progress lines of the saver until `wanted` have come; false when it ended before or went
// silent for the wait limit.
bool ReadProgress(QProcess &saver, int wanted)
{
    int seen = 0;
    while (seen < wanted) {
        if (!saver.canReadLine() && !saver.waitForReadyRead(WaitLimitMs))
            return false;
        while (seen < wanted && saver.canReadLine()) {
            saver.readLine();
            ++seen;
        }
    }
    return true;
}

// A power cut during an append may keep any part of it: the log loses a random tail of what its
// .inf does not count yet. False when the log holds nothing the .inf does not count.
bool TearAppend(const QString &log, int counted, QRandomGenerator &random)
{
    const QByteArray bytes = FileUtil::ReadFile(log);
    qsizetype countedEnd = 0;
    for (int i = 0; i < counted && countedEnd >= 0; ++i)
        countedEnd = bytes.indexOf('\n', countedEnd) + 1;
    if (counted <= 0 || countedEnd <= 0 || countedEnd >= bytes.size())
        return false;
    FileUtil::WriteFileAtomic(log, bytes.left(countedEnd + qsizetype(random.bounded(bytes.size() - countedEnd))));
    return true;
}

}  // namespace

TEST(CrashConsistency, ASaveKilledAnywhereLeavesALogTheNextFetchCompletesExactly)
{
    std::optional<MemoryTempDir> inMemory(std::in_place);
    BoardTestEnv env;
    inMemory.reset();
    env.server.AddThread(News, Key, QStringLiteral("落ちるスレ"));
    for (int i = 1; i <= 12; ++i)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), i % 3 ? QString() : QStringLiteral("sage"),
                             QStringLiteral("本文%1 ").arg(i).repeated(1 + i % 4));
    const QByteArray served = env.server.DatBytes(News, Key);
    const QString datFile = env.root.File(QStringLiteral("served.dat"));
    env.root.Write(QStringLiteral("served.dat"), served);
    const QString log = ItemRef(env.NewItem(News, Key))->GetLogFile();
    ASSERT_FALSE(log.isEmpty());

    QRandomGenerator random(20261207);
    int repaired = 0;
    int torn = 0;
    for (int kill = 0; kill < 200; ++kill) {
        QProcess saver;
        saver.start(QStringLiteral(VARNELO_LOG_SAVER), {log, datFile, QString::number(random.generate())});
        ASSERT_TRUE(ReadProgress(saver, 1 + int(random.bounded(14)))) << "the saver ended at kill " << kill;
        saver.kill();
        ASSERT_TRUE(saver.waitForFinished(WaitLimitMs)) << "the killed saver did not end at kill " << kill;

        ItemRef item(env.NewItem(News, Key));
        if (random.bounded(2) && TearAppend(log, item->COUNT, random))
            ++torn;
        const int storedLines = int(SplitLogLines(FileUtil::ReadFile(log)).size());
        repaired += storedLines != item->COUNT ? 1 : 0;
        const BoardTestEnv::Fetch fetch = env.Download(item.get());
        ASSERT_FALSE(fetch.failed) << "kill " << kill << ": " << fetch.errorMessage.toStdString();
        ASSERT_EQ(SplitLogLines(FileUtil::ReadFile(log)), SplitLogLines(served)) << "kill " << kill;
        EXPECT_EQ(item->SIZE, served.size()) << "kill " << kill;
    }
    // The kills did land between the two writes and tore appends, so the repair was what kept the
    // logs whole.
    EXPECT_GT(repaired, 0);
    EXPECT_GT(torn, 0);
}
