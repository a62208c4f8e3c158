// A thread log and its .inf are written one after the other. A save killed at any instant must not
// make the next fetch duplicate or lose responses: the fetch ends with the server's log.

#include "BoardTestEnv.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"

#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

const QString News = QStringLiteral("news");
const QString Key = QStringLiteral("1000000001");

// Reads progress lines of the saver until `wanted` have come; false when it ended before.
bool ReadProgress(QProcess &saver, int wanted)
{
    int seen = 0;
    while (seen < wanted) {
        if (!saver.canReadLine() && !saver.waitForReadyRead(-1))
            return false;
        while (seen < wanted && saver.canReadLine()) {
            saver.readLine();
            ++seen;
        }
    }
    return true;
}

}  // namespace

TEST(CrashConsistency, ASaveKilledAnywhereLeavesALogTheNextFetchCompletesExactly)
{
    BoardTestEnv env;
    env.server.AddThread(News, Key, QStringLiteral("落ちるスレ"));
    for (int i = 1; i <= 7; ++i)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), i % 3 ? QString() : QStringLiteral("sage"),
                             QStringLiteral("本文%1 ").arg(i).repeated(1 + i % 4));
    const QByteArray served = env.server.DatBytes(News, Key);
    const QString datFile = env.root.File(QStringLiteral("served.dat"));
    env.root.Write(QStringLiteral("served.dat"), served);
    const QString log = ItemRef(env.NewItem(News, Key))->GetLogFile();
    ASSERT_FALSE(log.isEmpty());

    QRandomGenerator random(20261207);
    int repaired = 0;
    for (int kill = 0; kill < 200; ++kill) {
        QProcess saver;
        saver.start(QStringLiteral(VARNELO_LOG_SAVER), {log, datFile, QString::number(random.generate())});
        ASSERT_TRUE(ReadProgress(saver, 1 + int(random.bounded(8)))) << "the saver ended at kill " << kill;
        saver.kill();
        saver.waitForFinished(-1);

        ItemRef item(env.NewItem(News, Key));
        const int storedLines = int(SplitLogLines(FileUtil::ReadFile(log)).size());
        repaired += storedLines != item->COUNT ? 1 : 0;
        const BoardTestEnv::Fetch fetch = env.Download(item.get());
        ASSERT_FALSE(fetch.failed) << "kill " << kill << ": " << fetch.errorMessage.toStdString();
        ASSERT_EQ(SplitLogLines(FileUtil::ReadFile(log)), SplitLogLines(served)) << "kill " << kill;
        EXPECT_EQ(item->SIZE, served.size()) << "kill " << kill;
    }
    // The kills did land between the two writes, so the repair was what kept the logs whole.
    EXPECT_GT(repaired, 0);
}
