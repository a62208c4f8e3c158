// Cancelling a tab's download: the tab finds the HTTP job of its download by the job record it
// started (TTavuHttpList::AbortJobsOf), so every board type's request must carry that record. A
// download the server never answers then ends at once through the record's done callback.

#include "BoardTestEnv.h"

#include "net/TavuHttpList.h"

#include <gtest/gtest.h>

namespace {

// A job list of the test's own in place of the program's.
class JobListScope {
public:
    JobListScope() : old(std::exchange(TavuHttpList, &list)) {}
    ~JobListScope() { TavuHttpList = old; }

private:
    TTavuHttpList list;
    TTavuHttpList *old;
};

// Waits until the server has been asked once more than `before`.
bool Asked(BoardTestEnv &env, qsizetype before)
{
    return BoardTestEnv::WaitFor([&] { return env.server.Requests().size() > before; });
}

}  // namespace

TEST(Cancel, AHangingThreadListEndsWhenItsRecordIsAborted)
{
    BoardTestEnv env;
    JobListScope jobs;
    env.server.Hold = true;
    for (const QString &id : {QStringLiteral("news"), QStringLiteral("1234"), QStringLiteral("cgi")}) {
        SCOPED_TRACE(id.toStdString());
        TBoard *board = env.Board(id);
        TThreadListDownloader job;
        job.BBS = board->BBS;
        job.Site = board->Site;
        job.Board = board;
        bool done = false;
        bool failed = false;
        job.OnDone = [&](TThreadListDownloader *, bool f) {
            done = true;
            failed = f;
        };
        const qsizetype before = env.server.Requests().size();
        board->BBS->DownloadThreadList(&job, false, false);
        ASSERT_TRUE(Asked(env, before));
        EXPECT_FALSE(done);

        EXPECT_TRUE(TavuHttpList->AbortJobsOf(&job));
        ASSERT_TRUE(BoardTestEnv::WaitFor([&] { return done; }));
        EXPECT_TRUE(failed);
        EXPECT_FALSE(TavuHttpList->AbortJobsOf(&job));   // nothing of it runs any more
    }
}

TEST(Cancel, AHangingThreadDownloadEndsWhenItsRecordIsAborted)
{
    BoardTestEnv env;
    JobListScope jobs;
    const QList<QPair<QString, QString>> threads = {{QStringLiteral("news"), QStringLiteral("1000000001")},
                                                    {QStringLiteral("1234"), QStringLiteral("1000000002")},
                                                    {QStringLiteral("cgi"), QStringLiteral("1000000003")}};
    for (const auto &[board, key] : threads) {
        env.server.AddThread(board, key, QStringLiteral("スレ"));
        env.server.AppendRes(board, key, QStringLiteral("名無し"), QString(), QStringLiteral("本文"));
    }
    env.server.Hold = true;
    for (const auto &[board, key] : threads) {
        SCOPED_TRACE(board.toStdString());
        ItemRef item(env.NewItem(board, key));
        TResDownloader job(item.get());
        job.BBS = item->BBS;
        job.Site = item->Site;
        job.Board = item->GetBoard();
        job.SetCacheReady();
        bool done = false;
        int responses = 0;
        job.OnRes = [&](TResDownloader *, TRes *res, int, int) {
            ++responses;
            delete res;
        };
        job.OnDone = [&](TResDownloader *, bool) { done = true; };
        const qsizetype before = env.server.Requests().size();
        item->BBS->DownloadThread(&job, false, false, false);
        ASSERT_TRUE(Asked(env, before));

        EXPECT_TRUE(TavuHttpList->AbortJobsOf(&job));
        ASSERT_TRUE(BoardTestEnv::WaitFor([&] { return done; }));
        EXPECT_EQ(responses, 0);
        EXPECT_FALSE(TavuHttpList->AbortJobsOf(&job));
    }
}
