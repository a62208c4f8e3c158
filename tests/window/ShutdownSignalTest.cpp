// The program told to end by the session or a process manager (SIGTERM) closes as when the user
// closes its window, without the exit question: idle or in the middle of a thread download, it
// leaves every file a normal close writes, whole.

#include "WindowParts.h"
#include "PostTestEnv.h"
#include "StoredThread.h"

#include "controls/TavuSplitter.h"
#include "controls/WindowLists.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TextList.h"
#include "mainwindow/QuitSignals.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>

#include <csignal>

using PostTest::News;

namespace {

const QString ThreadKey = QStringLiteral("1000000001");

// A rule file as a user may have left it: the empty line between the rules is dropped by the load,
// so the file comes back without it only when the close wrote it.
QByteArray RuleFile(const QString &pattern)
{
    const QString rule = QStringLiteral("9\t0\t0\t%1\t\t0\t1\t0\t0\t\t\t0\t2024/04/30 10:00:00\t1\t1\t#ALL\t\t1\r\n");
    return jconvert::UnicodeToSjis(rule.arg(pattern) + QStringLiteral("\r\n") + rule.arg(pattern + QStringLiteral("2")));
}

QByteArray WithoutEmptyLine(const QByteArray &rules)
{
    QByteArray whole = rules;
    whole.replace("\r\n\r\n", "\r\n");
    return whole;
}

// The program on its own program folder with the site "test" on a local board server; the exit
// question is on, so a close that asked would never end.
class ShutdownSignalTest : public ::testing::Test {
protected:
    TempDataRoot root{true};
    BoardServer server;
    QString profile;
    QProcess program;

    void SetUp() override
    {
        PostTest::WriteSite(root, server);
        PostTest::AddThread(server, News, ThreadKey, 3);
        TTavuConfig config;
        config.EXIT_WARNING = true;
        config.APPSTATE = false;
        config.CACHED = true;
        profile = config.GetProfileDir();
        config.Save();
        FileUtil::WriteFileAtomic(profile + QStringLiteral("ngres.txt"), RuleFile(QStringLiteral("宣伝")));
        FileUtil::WriteFileAtomic(profile + QStringLiteral("ngthread.txt"), RuleFile(QStringLiteral("荒らし")));
        program.setProcessChannelMode(QProcess::MergedChannels);
    }

    void StartWithThread()
    {
        program.start(QStringLiteral(VARNELO_PROGRAM), {server.Url(QStringLiteral("/test/read.cgi/news/%1/").arg(ThreadKey))});
        ASSERT_TRUE(program.waitForStarted());
    }

    // Serves the program until the condition holds, the program has ended or the suite's limit
    // has passed.
    bool Until(const std::function<bool()> &condition)
    {
        TWindowEnv::WaitUntil([&] { return condition() || program.state() != QProcess::Running; });
        return condition();
    }

    bool LogStored(const QString &extension) const
    {
        QDirIterator it(profile, {ThreadKey + extension}, QDir::Files, QDirIterator::Subdirectories);
        return it.hasNext();
    }

    void EndWithSignal(int signal = SIGTERM)
    {
        ::kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(Until([this] { return program.state() == QProcess::NotRunning; }));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAll().toStdString();
        EXPECT_EQ(program.exitCode(), 0);
    }

    void ExpectClosedInOrder()
    {
        EXPECT_EQ(FileUtil::ReadFile(profile + QStringLiteral("ngres.txt")), WithoutEmptyLine(RuleFile(QStringLiteral("宣伝"))));
        EXPECT_EQ(FileUtil::ReadFile(profile + QStringLiteral("ngthread.txt")),
                  WithoutEmptyLine(RuleFile(QStringLiteral("荒らし"))));
        TTextList recent;
        ASSERT_TRUE(recent.LoadFromFile(profile + QStringLiteral("recthrd.txt")));
        ASSERT_EQ(recent.Lines.size(), 1);
        EXPECT_TRUE(recent.Lines[0].startsWith(QStringLiteral("test\tnews\t%1\t").arg(ThreadKey)));
        EXPECT_FALSE(TIniFile(profile + QStringLiteral("boardcnf.ini")).ReadString(QStringLiteral("favorites"), QStringLiteral("TOP")).isEmpty());
        const TIniFile kpw(profile + QStringLiteral("kpw.ini"));
        EXPECT_TRUE(kpw.SectionExists(QStringLiteral("COOLBAR1")));
        EXPECT_EQ(kpw.ReadString(QStringLiteral("VARNELO"), QStringLiteral("EXIT_WARNING")), QStringLiteral("1"));
        EXPECT_TRUE(FileUtil::ReadFile(profile + QStringLiteral("kpw.ini")).endsWith("\r\n"));
    }
};

}  // namespace

class ShutdownSignalIdleTest : public ShutdownSignalTest, public ::testing::WithParamInterface<int> {};

TEST_P(ShutdownSignalIdleTest, IdleProgramClosesInOrder)
{
    StartWithThread();
    ASSERT_TRUE(Until([&] { return LogStored(QStringLiteral(".inf")); })) << program.readAll().toStdString();
    EndWithSignal(GetParam());
    ExpectClosedInOrder();
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, ShutdownSignalIdleTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST_F(ShutdownSignalTest, ProgramDownloadingAThreadClosesInOrder)
{
    server.Hold = true;
    StartWithThread();
    ASSERT_TRUE(Until([&] { return !server.RequestsTo(QStringLiteral("/dat/") + ThreadKey).isEmpty(); }))
        << program.readAll().toStdString();
    EndWithSignal();
    ExpectClosedInOrder();
    EXPECT_FALSE(LogStored(QStringLiteral(".dat")));
}

// The end of the session closes the window without the exit question; the window is then closed for
// good: a later close neither asks nor runs the close steps again.
TEST(ShutdownSession, EndsWithoutTheExitQuestion)
{
    TWindowEnv env([](TWindowEnv &e) { e.config->EXIT_WARNING = true; });
    env.Start();
    int closed = 0;
    QObject::connect(env.Window, &TVarneloWindow::Closed, [&] { ++closed; });
    QFile::remove(TWindowLists::ResRulesFile());
    env.Window->EndSession();
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(env.Messages.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(TWindowLists::ResRulesFile()));
    EXPECT_TRUE(env.Close());
    env.Window->EndSession();
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(env.Messages.isEmpty());
}

// The session ends while the exit question is open: the close steps run once, whatever the answer.
TEST(ShutdownSession, EndingWhileTheExitQuestionIsOpenClosesOnce)
{
    TWindowEnv env([](TWindowEnv &e) { e.config->EXIT_WARNING = true; });
    env.Start();
    int closed = 0;
    QObject::connect(env.Window, &TVarneloWindow::Closed, [&] { ++closed; });
    Dialogs::TScopedDialogHandlers endsMeanwhile([&](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) {
        env.Window->EndSession();
        return Dialogs::mrYes;
    });
    EXPECT_TRUE(env.Close());
    EXPECT_EQ(closed, 1);
}

namespace {

// What a run leaves for the next start: the window's place, its panes and bands, the recent
// threads and the board tree's state.
QStringList SessionLeft(TWindowEnv &env)
{
    const TIniFile kpw(env.Profile(QStringLiteral("kpw.ini")));
    QStringList left = kpw.ReadSectionValues(QStringLiteral("DESKTOP")) + kpw.ReadSectionValues(QStringLiteral("COOLBAR1"));
    TTextList recent;
    recent.LoadFromFile(env.Profile(QStringLiteral("recthrd.txt")));
    for (const QString &line : recent.Lines)
        left << line.section(QLatin1Char('\t'), 0, 2);
    left << QString::fromLatin1(FileUtil::ReadFile(env.Profile(QStringLiteral("boardcnf.ini"))));
    return left;
}

// A run with a thread open and the board pane narrowed, ended by the user's close or by the quit
// signal as the program receives it (the signal raised in this process reaches the window through
// the program's own handler).
QStringList RunEndedBy(bool signal)
{
    TWindowEnv env([](TWindowEnv &e) { e.config->EXIT_WARNING = true; });
    env.Start();
    env.Window->resize(1100, 760);
    env.Window->show();
    EXPECT_NE(StoredThread::Open(env, 3), nullptr);
    Part<TTavuSplitter>(env.Window, "BoardListSplitter")->setSizes({150, 950});
    if (signal) {
        TQuitSignals quitSignals;
        QObject::connect(&quitSignals, &TQuitSignals::Received, env.Window, &TVarneloWindow::EndSession);
        bool closed = false;
        QObject::connect(env.Window, &TVarneloWindow::Closed, [&closed] { closed = true; });
        ::raise(SIGTERM);
        EXPECT_TRUE(TWindowEnv::WaitUntil([&closed] { return closed; }));
    } else {
        EXPECT_TRUE(env.Close());
    }
    env.Destroy();
    EXPECT_EQ(env.Messages, signal ? QStringList() : QStringList{QStringLiteral("ヴァルネロを終了しますか？")});
    return SessionLeft(env);
}

}  // namespace

// Ended by SIGTERM (a desktop session logging out), the program leaves for the next start exactly
// what a close by the user leaves.
TEST(ShutdownSession, TheQuitSignalLeavesWhatTheUsersCloseLeaves)
{
    const QStringList closed = RunEndedBy(false);
    const QStringList signalled = RunEndedBy(true);
    EXPECT_FALSE(closed.filter(QStringLiteral("BOARDLISTWIDTH=150")).isEmpty()) << closed.join(u'|').toStdString();
    EXPECT_FALSE(closed.filter(StoredThread::Key).isEmpty());
    EXPECT_EQ(signalled, closed);
}
