// One running copy: the hand-over of a later copy's arguments, stale locks and sockets, races, and
// the private folder the lock and the socket live in.

#include "StoredThread.h"
#include "WindowTestEnv.h"

#include "core/ThreadItem.h"
#include "mainwindow/SingleInstance.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <atomic>
#include <thread>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString UniqueKey()
{
    return QStringLiteral("VarneloTest-") + QUuid::createUuid().toString(QUuid::Id128);
}

// Sets an environment variable (or unsets it, for a null value) for one test.
class TScopedEnv {
public:
    TScopedEnv(const char *name, const QByteArray &value) : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~TScopedEnv()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char *name;
    bool had;
    QByteArray old;
};

// Every test runs on its own program folder, without a runtime folder of the session, so the lock
// and the socket go to the program folder's run/.
class SingleInstanceTest : public ::testing::Test {
protected:
    TempDataRoot root;
    TScopedEnv runtime{"XDG_RUNTIME_DIR", QByteArray()};

    QString RunFolder() const { return root.Path() + QStringLiteral("run/"); }
};

uint Mode(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(QDir::cleanPath(path)).constData(), &info) == 0 ? info.st_mode : 0;
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Every path under folder, however deep.
QStringList AllPaths(const QString &folder)
{
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    return paths;
}

// Runs a later copy on its own thread (it blocks until the first copy has taken its arguments)
// while this thread's event loop serves the first copy. A copy that never ends fails the test.
bool StartLaterCopy(const QString &key, const QStringList &arguments)
{
    std::atomic<bool> done{false};
    bool first = true;
    std::thread later([&] {
        TSingleInstance copy(key);
        first = copy.Start(arguments);
        done = true;
    });
    EXPECT_TRUE(TWindowEnv::WaitUntil([&] { return done.load(); })) << "the later copy did not end";
    later.join();
    return first;
}

}  // namespace

TEST_F(SingleInstanceTest, ArgumentsAreClassifiedOneByOne)
{
    TStartArguments lone = TStartArguments::Parse({QStringLiteral("-n")});
    EXPECT_TRUE(lone.NoSave);
    EXPECT_TRUE(lone.Url.isEmpty());

    TStartArguments both = TStartArguments::Parse({QStringLiteral("/n"), QStringLiteral("http://a.example/1"),
                                                   QStringLiteral("https://b.example/2")});
    EXPECT_TRUE(both.NoSave);
    EXPECT_EQ(both.Url, QStringLiteral("https://b.example/2"));   // the last one wins

    TStartArguments other = TStartArguments::Parse({QStringLiteral("n"), QStringLiteral("see http://a.example/")});
    EXPECT_FALSE(other.NoSave);   // the own command line takes no bare "n"
    EXPECT_TRUE(other.Url.isEmpty());
    EXPECT_TRUE(TStartArguments::ParseHandOver({QStringLiteral("n")}).NoSave);
}

TEST_F(SingleInstanceTest, LaterCopyHandsItsArgumentsOver)
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

TEST_F(SingleInstanceTest, LaterCopyWithoutListeningFirstEndsQuietly)
{
    const QString key = UniqueKey();
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("-n")}));
}

// A copy that crashed leaves its lock (naming a process that is gone) and its socket file.
TEST_F(SingleInstanceTest, StaleLockAndSocketDoNotBlockTheStart)
{
    const QString key = UniqueKey();
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForFinished());
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    ASSERT_TRUE(QDir().mkpath(RunFolder()));
    ASSERT_EQ(::chmod(QFile::encodeName(RunFolder()).constData(), 0700), 0);
    QFile lock(RunFolder() + key + QStringLiteral(".lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nvarnelo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(RunFolder() + key);
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();

    TSingleInstance copy(key);
    EXPECT_TRUE(copy.Start({}));
    EXPECT_EQ(copy.Folder(), RunFolder());
    EXPECT_TRUE(copy.Listen());
}

TEST_F(SingleInstanceTest, CopiesStartedTogetherHaveOneFirst)
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

// The running window takes a later copy's "-n" (or bare "n") and thread address: save mode goes off for this run
// and the thread of the known board opens in a tab (offline: from its stored log).
TEST_F(SingleInstanceTest, RunningWindowAppliesTheHandOver)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Start();
    StoredThread::WriteLog(1);
    const QString key = UniqueKey();
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    QObject::connect(&first, &TSingleInstance::HandOver, env.Window, &TVarneloWindow::ReceiveHandOver);
    ASSERT_TRUE(first.Listen());

    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("-n")}));
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    EXPECT_FALSE(TavuEnviron->GetCached());
    EXPECT_TRUE(env.Window->Tabs().Browsers().isEmpty());

    // A later copy's bare "n" turns save mode off as well.
    env.Window->Action(QStringLiteral("actSaveMode"))->trigger();
    ASSERT_TRUE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("n")}));
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    EXPECT_FALSE(TavuEnviron->GetCached());

    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("http://news.2ch.net/test/read.cgi/news/1234567890/")}));
    ASSERT_EQ(env.Window->Tabs().Browsers().size(), 1);
    ASSERT_NE(env.Window->Tabs().Browsers()[0]->ThreadItem(), nullptr);
    EXPECT_EQ(env.Window->Tabs().Browsers()[0]->ThreadItem()->GetKey(), QStringLiteral("1234567890"));
}

// A hand-over that comes before the start-up has run waits for it: the thread address is then
// recognised on its site (offline, without its log, the thread is named as not shown), and "-n" is
// not undone by the start-up's own save mode.
TEST_F(SingleInstanceTest, HandOverDuringTheStartUpWaitsForIt)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Window->ReceiveHandOver({QStringLiteral("-n"), QStringLiteral("http://news.2ch.net/test/read.cgi/news/1234567890/")});
    EXPECT_TRUE(env.Window->Tabs().Browsers().isEmpty());
    EXPECT_TRUE(env.Messages.isEmpty());
    env.Start();
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    EXPECT_FALSE(TavuEnviron->GetCached());
    EXPECT_TRUE(env.Window->Tabs().Browsers().isEmpty());
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages[0].startsWith(QStringLiteral("オフライン状態のため取得できません。"))) << env.Messages[0].toStdString();
}

// The program itself started as a later copy: it hands "-n" and a thread address to the running
// window and ends at once, without a window of its own.
TEST_F(SingleInstanceTest, LaterProgramProcessHandsOverAndEnds)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Start();
    StoredThread::WriteLog(1);
    TSingleInstance first;   // the key of this user and this program folder, as the program's
    ASSERT_TRUE(first.Start({}));
    QObject::connect(&first, &TSingleInstance::HandOver, env.Window, &TVarneloWindow::ReceiveHandOver);
    ASSERT_TRUE(first.Listen());
    const QByteArray kpwBefore = FileUtil::ReadFile(env.Profile(QStringLiteral("kpw.ini")));

    QProcess later;
    later.start(QStringLiteral(VARNELO_PROGRAM),
                {QStringLiteral("-n"), QStringLiteral("http://news.2ch.net/test/read.cgi/news/1234567890/")});
    ASSERT_TRUE(later.waitForStarted());
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return later.state() == QProcess::NotRunning; }));
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);

    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    ASSERT_EQ(env.Window->Tabs().Browsers().size(), 1);
    EXPECT_EQ(env.Window->Tabs().Browsers()[0]->ThreadItem()->GetKey(), QStringLiteral("1234567890"));
    // The later copy left the profile alone.
    EXPECT_EQ(FileUtil::ReadFile(env.Profile(QStringLiteral("kpw.ini"))), kpwBefore);
}

// The program's own run/ folder is made for the user alone; a session's runtime folder is taken
// when it is private, passed over when others may enter it.
TEST_F(SingleInstanceTest, LockAndSocketLiveInAPrivateFolder)
{
    TSingleInstance copy(UniqueKey());
    ASSERT_TRUE(copy.Start({}));
    ASSERT_TRUE(copy.Listen());
    EXPECT_EQ(copy.Folder(), RunFolder());
    EXPECT_EQ(Mode(RunFolder()), uint(S_IFDIR | 0700));
    const QString socket = RunFolder() + UniqueKey();
    EXPECT_TRUE(TSingleInstance::SocketFault(socket, ::geteuid()).isEmpty());   // nothing there

    QTemporaryDir session;
    TScopedEnv runtime("XDG_RUNTIME_DIR", QFile::encodeName(session.path()));
    ASSERT_EQ(::chmod(QFile::encodeName(session.path()).constData(), 0700), 0);
    EXPECT_EQ(copy.ChooseFolder(nullptr), session.path() + QLatin1Char('/'));
    ASSERT_EQ(::chmod(QFile::encodeName(session.path()).constData(), 0755), 0);
    EXPECT_EQ(copy.ChooseFolder(nullptr), RunFolder());
}

// A run/ folder that others may enter, that is a link, or that belongs to another user is not used:
// the copy starts as the first one, unguarded, and leaves the folder as it found it.
TEST_F(SingleInstanceTest, FolderOfAnotherUserOrOpenToOthersIsRefused)
{
    const QString key = UniqueKey();
    ASSERT_TRUE(QDir().mkpath(RunFolder()));
    ASSERT_EQ(::chmod(QFile::encodeName(RunFolder()).constData(), 0777), 0);
    {
        TSingleInstance copy(key);
        EXPECT_TRUE(copy.Start({}));
        EXPECT_TRUE(copy.Folder().isEmpty());
        EXPECT_FALSE(copy.Listen());
        EXPECT_TRUE(Entries(RunFolder()).isEmpty());
        EXPECT_EQ(Mode(RunFolder()), uint(S_IFDIR | 0777));
    }

    QTemporaryDir elsewhere;
    ASSERT_EQ(::chmod(QFile::encodeName(elsewhere.path()).constData(), 0700), 0);
    ASSERT_TRUE(QDir(RunFolder()).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), root.Path() + QStringLiteral("run")));
    {
        TSingleInstance copy(key);
        EXPECT_TRUE(copy.Start({}));
        EXPECT_TRUE(copy.Folder().isEmpty());
        EXPECT_TRUE(Entries(elsewhere.path()).isEmpty());
    }

    ASSERT_TRUE(QFile::remove(root.Path() + QStringLiteral("run")));
    TSingleInstance mine(key);
    EXPECT_TRUE(mine.Start({}));
    EXPECT_EQ(mine.Folder(), RunFolder());
    TSingleInstance stranger(UniqueKey());
    stranger.OwnerUid = ::geteuid() + 1;   // the same folder, as another user would find it
    EXPECT_TRUE(stranger.Start({}));
    EXPECT_TRUE(stranger.Folder().isEmpty());
    EXPECT_FALSE(TSingleInstance::FolderFault(RunFolder(), ::geteuid() + 1).isEmpty());
    // Made over to another account for real (needs the right to give files away).
    if (::chown(QFile::encodeName(RunFolder()).constData(), 65534, 65534) == 0) {
        TSingleInstance copy(UniqueKey());
        EXPECT_TRUE(copy.Start({}));
        EXPECT_TRUE(copy.Folder().isEmpty());
    }
}

// With run/ open to others the profile still has one writer: the lock lies in the program folder,
// a second copy is refused and says why, and the first says in its window that later copies cannot
// hand anything over.
TEST_F(SingleInstanceTest, AnUnsafeRunFolderStillKeepsOneWriterAndTheWindowSaysSo)
{
    TWindowEnv env;
    env.Start();
    const QString run = env.Root.Path() + QStringLiteral("run/");
    ASSERT_TRUE(QDir().mkpath(run));
    ASSERT_EQ(::chmod(QFile::encodeName(run).constData(), 0777), 0);
    const QString key = UniqueKey();

    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    EXPECT_TRUE(first.Folder().isEmpty());
    EXPECT_FALSE(first.Listen());
    EXPECT_TRUE(QFileInfo::exists(env.Root.Path() + key + QStringLiteral(".lock")));
    EXPECT_TRUE(first.Refusal().isEmpty());
    ASSERT_TRUE(first.Warning().contains(QStringLiteral("には他のユーザーも入れます")));
    first.TellUser();
    EXPECT_EQ(env.Messages, QStringList({first.Warning()}));
    EXPECT_TRUE(env.LogLines().join(QLatin1Char('\n')).contains(first.Warning()));

    TSingleInstance second(key);
    EXPECT_FALSE(second.Start({QStringLiteral("http://host.example/test/read.cgi/a/1/")}));
    EXPECT_TRUE(second.Refusal().startsWith(QStringLiteral("同じデータフォルダでヴァルネロが起動しています。")));
    EXPECT_TRUE(second.Warning().isEmpty());
    second.TellUser();
    EXPECT_EQ(env.Messages.last(), second.Refusal());
    EXPECT_TRUE(Entries(run).isEmpty());   // nothing was made where others could reach it
}

// A socket that others may open is not talked to, whoever listens on it.
TEST_F(SingleInstanceTest, SocketOpenToOthersIsNotHandedTo)
{
    const QString key = UniqueKey();
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    QLocalServer open;
    open.setSocketOptions(QLocalServer::WorldAccessOption);
    ASSERT_TRUE(open.listen(first.Folder() + key));
    EXPECT_FALSE(TSingleInstance::SocketFault(first.Folder() + key, ::geteuid()).isEmpty());
    int connections = 0;
    QObject::connect(&open, &QLocalServer::newConnection, [&] { ++connections; });

    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("http://host.example/")}));
    EXPECT_EQ(connections, 0);
    EXPECT_FALSE(open.hasPendingConnections());
}

// A listener that runs as another user is not handed anything, even on a socket that looks like
// ours: the later copy connects, sees the other end's user and leaves without a word.
TEST_F(SingleInstanceTest, ListenerOfAnotherUserIsNotHandedTo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the right to act as another user";
    const QString key = UniqueKey();
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start({}));
    const QByteArray path = QFile::encodeName(first.Folder() + key);
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(descriptor, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(descriptor, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::chmod(path.constData(), 0700), 0);
    ASSERT_EQ(::seteuid(65534), 0);   // the listener's user is the one that calls listen
    const int listening = ::listen(descriptor, 4);
    ASSERT_EQ(::seteuid(0), 0);
    ASSERT_EQ(listening, 0);
    ASSERT_TRUE(TSingleInstance::SocketFault(first.Folder() + key, ::geteuid()).isEmpty());

    QLocalServer stranger;
    ASSERT_TRUE(stranger.listen(descriptor));
    QList<QLocalSocket *> accepted;
    qint64 received = 0;
    QObject::connect(&stranger, &QLocalServer::newConnection, [&] {
        while (QLocalSocket *socket = stranger.nextPendingConnection()) {
            accepted << socket;
            QObject::connect(socket, &QLocalSocket::readyRead, [&received, socket] { received += socket->readAll().size(); });
        }
    });
    EXPECT_FALSE(StartLaterCopy(key, {QStringLiteral("http://host.example/")}));
    ASSERT_TRUE(TWindowEnv::WaitUntil(
        [&] { return !accepted.isEmpty() && accepted[0]->state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(accepted.size(), 1);
    EXPECT_EQ(received, 0);
}

// The program itself as a later copy, with the shared temporary folder pointed at an empty folder:
// the hand-over works between the two processes and neither lock nor socket lands in that folder
// (the toolkit may keep a runtime folder of its own there when the session has none).
TEST_F(SingleInstanceTest, ProcessesHandOverWithoutTouchingTheSharedTemporaryFolder)
{
    QTemporaryDir shared;
    TScopedEnv tmp("TMPDIR", QFile::encodeName(shared.path()));
    TSingleInstance first;   // the key of this user and this program folder, as the program's
    ASSERT_TRUE(first.Start({}));
    ASSERT_TRUE(first.Listen());
    QList<QStringList> received;
    QObject::connect(&first, &TSingleInstance::HandOver, [&](const QStringList &arguments) { received.append(arguments); });

    QProcess later;
    const QStringList arguments = {QStringLiteral("-n"), QStringLiteral("http://host.example/test/read.cgi/a/1/")};
    later.start(QStringLiteral(VARNELO_PROGRAM), arguments);
    ASSERT_TRUE(later.waitForStarted());
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return later.state() == QProcess::NotRunning; }));
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0], arguments);
    for (const QString &path : AllPaths(shared.path()))
        EXPECT_FALSE(path.contains(TSingleInstance::DefaultKey())) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(RunFolder() + TSingleInstance::DefaultKey() + QStringLiteral(".lock")));
    EXPECT_EQ(Entries(RunFolder()).size(), 2);   // the lock and the socket
}

// A lock file that another account put into a program folder others may write is not a running
// copy: the start is refused with what is wrong and what to do, and the file is left alone.
TEST_F(SingleInstanceTest, ALockOfAnotherUserIsToldForWhatItIs)
{
    ASSERT_TRUE(QDir().mkpath(RunFolder()));
    ASSERT_EQ(::chmod(QFile::encodeName(RunFolder()).constData(), 0777), 0);   // no private folder
    ASSERT_EQ(::chmod(QFile::encodeName(root.Path()).constData(), 0777), 0);
    const QString key = UniqueKey();
    const QString planted = root.Path() + key + QStringLiteral(".lock");
    QFile lock(planted);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("planted\n");
    lock.close();
    ASSERT_EQ(::chmod(QFile::encodeName(planted).constData(), 0600), 0);

    QStringList told;
    Dialogs::TScopedDialogHandlers answers([&](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
        told << text;
        return Dialogs::mrOK;
    });
    TSingleInstance copy(key);
    copy.OwnerUid = ::geteuid() + 1;   // the folder and the lock as the user finds them: another's
    EXPECT_FALSE(copy.Start({}));
    copy.TellUser();
    ASSERT_EQ(told.size(), 1);
    EXPECT_FALSE(told[0].contains(QStringLiteral("起動しています。"))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("他のユーザーが作ったロックファイル"))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(planted));
    EXPECT_TRUE(told[0].contains(QStringLiteral("他のユーザーも書き込める")));
    EXPECT_TRUE(told[0].contains(QStringLiteral("chmod go-w")));
    EXPECT_EQ(FileUtil::ReadFile(planted), QByteArray("planted\n"));
}

// SIGTERM while the start-up's warning box is open: the program closes the box and its window,
// ends, and frees its lock, so that the next start is the first copy again.
TEST_F(SingleInstanceTest, AQuitSignalWhileTheStartWarningIsOpenEndsTheProgram)
{
    ASSERT_TRUE(QDir().mkpath(RunFolder()));
    ASSERT_EQ(::chmod(QFile::encodeName(RunFolder()).constData(), 0777), 0);   // the guard is weakened
    QProcess program;
    program.start(QStringLiteral(VARNELO_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray errors;
    // The warning goes to the error output as its box is shown.
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] {
        errors += program.readAllStandardError();
        return QString::fromUtf8(errors).contains(QStringLiteral("二つ目のヴァルネロからURLなどを受け取れません"))
            || program.state() == QProcess::NotRunning;
    }));
    ASSERT_EQ(program.state(), QProcess::Running) << errors.toStdString();
    program.terminate();
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return program.state() == QProcess::NotRunning; }))
        << "the program did not end";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    TSingleInstance next;   // the key of this user and this program folder, as the program's
    EXPECT_TRUE(next.Start({}));
    EXPECT_TRUE(next.Refusal().isEmpty());
}
