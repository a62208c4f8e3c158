// One running copy: the hand-over of a later copy's arguments, stale locks and sockets, races.

#include "WindowTestEnv.h"

#include "mainwindow/SingleInstance.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QUuid>
#include <atomic>
#include <thread>

namespace {

QString UniqueKey()
{
    return QStringLiteral("VarneloTest-") + QUuid::createUuid().toString(QUuid::Id128);
}

QString LockPath(const QString &key)
{
    return QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock"));
}

// Runs a later copy on its own thread (it blocks until the first copy has taken its arguments)
// while this thread's event loop serves the first copy.
bool StartLaterCopy(const QString &key, const QStringList &arguments)
{
    std::atomic<bool> done{false};
    bool first = true;
    std::thread later([&] {
        TSingleInstance copy(key);
        first = copy.Start(arguments);
        done = true;
    });
    while (!done) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    later.join();
    return first;
}

}  // namespace

TEST(SingleInstanceTest, ArgumentsAreClassifiedOneByOne)
{
    TStartArguments lone = TStartArguments::Parse({QStringLiteral("-n")});
    EXPECT_TRUE(lone.NoSave);
    EXPECT_TRUE(lone.Url.isEmpty());

    TStartArguments both = TStartArguments::Parse({QStringLiteral("/n"), QStringLiteral("http://a.example/1"),
                                                   QStringLiteral("https://b.example/2")});
    EXPECT_TRUE(both.NoSave);
    EXPECT_EQ(both.Url, QStringLiteral("https://b.example/2"));   // the last one wins

    TStartArguments other = TStartArguments::Parse({QStringLiteral("n"), QStringLiteral("see http://a.example/")});
    EXPECT_FALSE(other.NoSave);
    EXPECT_TRUE(other.Url.isEmpty());
}

TEST(SingleInstanceTest, LaterCopyHandsItsArgumentsOver)
{
    const QString key = UniqueKey();
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    ASSERT_TRUE(first.Listen());
    QList<QStringList> received;
    QObject::connect(&first, &TSingleInstance::HandOver, [&](const QStringList &arguments) { received.append(arguments); });

    const QStringList arguments = {QStringLiteral("-n"), QStringLiteral("http://host.example/test/read.cgi/news/1/"),
                                   QStringLiteral("C:/My Logs/スレ 1.dat")};
    EXPECT_FALSE(StartLaterCopy(key, arguments));
    EXPECT_FALSE(StartLaterCopy(key, {}));
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0], arguments);
    EXPECT_TRUE(received[1].isEmpty());
}

TEST(SingleInstanceTest, LaterCopyWithoutListeningFirstEndsQuietly)
{
    const QString key = UniqueKey();
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("-n")}));
}

// A copy that crashed leaves its lock (naming a process that is gone) and its socket file.
TEST(SingleInstanceTest, StaleLockAndSocketDoNotBlockTheStart)
{
    const QString key = UniqueKey();
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForFinished());
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    QFile lock(LockPath(key));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nvarnelo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(QDir(QDir::tempPath()).filePath(key));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();

    TSingleInstance copy(key);
    EXPECT_TRUE(copy.Start({}));
    EXPECT_TRUE(copy.Listen());
}

TEST(SingleInstanceTest, CopiesStartedTogetherHaveOneFirst)
{
    for (int round = 0; round < 5; ++round) {
        const QString key = UniqueKey();
        std::atomic<int> firsts{0};
        std::vector<std::unique_ptr<TSingleInstance>> copies;
        for (int i = 0; i < 4; ++i)
            copies.push_back(std::make_unique<TSingleInstance>(key));
        std::vector<std::thread> threads;
        for (auto &copy : copies)
            threads.emplace_back([&firsts, &copy] { firsts += copy->Start({}) ? 1 : 0; });
        for (std::thread &thread : threads)
            thread.join();
        EXPECT_EQ(firsts.load(), 1) << "round " << round;
    }
}

// The running window takes a later copy's "-n" and thread address: save mode goes off for this run
// and the thread of the known board opens in a tab (offline: from its stored log, which is none).
TEST(SingleInstanceTest, RunningWindowAppliesTheHandOver)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Start();
    const QString key = UniqueKey();
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    QObject::connect(&first, &TSingleInstance::HandOver, env.Window, &TVarneloWindow::ReceiveHandOver);
    ASSERT_TRUE(first.Listen());

    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("-n")}));
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    EXPECT_FALSE(TavuEnviron->GetCached());
    EXPECT_TRUE(env.Window->Browsers.isEmpty());

    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("http://news.2ch.net/test/read.cgi/news/1234567890/")}));
    ASSERT_EQ(env.Window->Browsers.size(), 1);
    ASSERT_NE(env.Window->Browsers[0]->ThreadItem(), nullptr);
    EXPECT_EQ(env.Window->Browsers[0]->ThreadItem()->GetKey(), QStringLiteral("1234567890"));
}

// A hand-over that comes before the start-up has run waits for it: the thread address is then
// recognised on its site, and "-n" is not undone by the start-up's own save mode.
TEST(SingleInstanceTest, HandOverDuringTheStartUpWaitsForIt)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Window->ReceiveHandOver({QStringLiteral("-n"), QStringLiteral("http://news.2ch.net/test/read.cgi/news/1234567890/")});
    EXPECT_TRUE(env.Window->Browsers.isEmpty());
    env.Start();
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    EXPECT_FALSE(TavuEnviron->GetCached());
    ASSERT_EQ(env.Window->Browsers.size(), 1);
    ASSERT_NE(env.Window->Browsers[0]->ThreadItem(), nullptr);
    EXPECT_EQ(env.Window->Browsers[0]->ThreadItem()->GetKey(), QStringLiteral("1234567890"));
}

// The program itself started as a later copy: it hands "-n" and a thread address to the running
// window and ends at once, without a window of its own.
TEST(SingleInstanceTest, LaterProgramProcessHandsOverAndEnds)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Start();
    TSingleInstance first;   // the key of this user and this program folder, as the program's
    ASSERT_TRUE(first.Start({}));
    QObject::connect(&first, &TSingleInstance::HandOver, env.Window, &TVarneloWindow::ReceiveHandOver);
    ASSERT_TRUE(first.Listen());
    const QByteArray kpwBefore = FileUtil::ReadFile(env.Profile(QStringLiteral("kpw.ini")));

    QProcess later;
    later.start(QStringLiteral(VARNELO_PROGRAM),
                {QStringLiteral("-n"), QStringLiteral("http://news.2ch.net/test/read.cgi/news/1234567890/")});
    ASSERT_TRUE(later.waitForStarted());
    for (int waited = 0; later.state() != QProcess::NotRunning && waited < 60000; waited += 20)
        TWindowEnv::Pump(20);
    ASSERT_EQ(later.state(), QProcess::NotRunning);
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);

    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    ASSERT_EQ(env.Window->Browsers.size(), 1);
    EXPECT_EQ(env.Window->Browsers[0]->ThreadItem()->GetKey(), QStringLiteral("1234567890"));
    // The later copy left the profile alone.
    EXPECT_EQ(FileUtil::ReadFile(env.Profile(QStringLiteral("kpw.ini"))), kpwBefore);
}
