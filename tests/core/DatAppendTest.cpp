// A thread's log (.dat) grows by appends; an append that fails part way (the disk full, the file
// too large) is taken back, so that the log stays the lines its .inf counts, and it is reported.
// The failures here are real: the process may not write the log past a chosen size, or the log lies
// on a disk that cannot keep what it is given.

#include "FileId.h"
#include "FileSizeLimit.h"
#include "FillFileSystem.h"
#include "ThreadTestEnv.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/ResList.h"
#include "core/SaveQueue.h"
#include "core/ThreadLogSave.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <optional>

#include <climits>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A thread of three stored responses, its log and .inf written as a download leaves them. The log
// fills exactly four kilobytes, so that what is appended goes into a new block of a disk.
class StoredThread {
public:
    explicit StoredThread(const ThreadTestEnv &env)
        : item(env.NewItem(QStringLiteral("1765000000"), QStringLiteral("題名")))
    {
        const auto line = [](int n, const QString &padding) {
            return QStringLiteral("名無し<>sage<>2026/12/07 ID:abc<>書き込み%1です%2<>%3")
                .arg(n)
                .arg(padding, n == 1 ? QStringLiteral("題名") : QString());
        };
        QByteArray unpadded;
        for (int n = 1; n <= 3; ++n)
            unpadded += jconvert::UnicodeToSjis(line(n, {})) + "\r\n";
        for (int n = 1; n <= 3; ++n)
            list.AddDatLine(line(n, n == 3 ? QString(4096 - unpadded.size(), QLatin1Char('x')) : QString()));
        Save(0);
        dat = FileUtil::ReadFile(item->GetLogFile());
        inf = FileUtil::ReadFile(item->GetInfFile());
    }

    // Adds the new responses; returns the bytes they append to the log.
    QByteArray Receive(const QStringList &lines)
    {
        QByteArray bytes;
        for (const QString &line : lines) {
            list.AddDatLine(line);
            bytes += jconvert::UnicodeToSjis(line) + "\r\n";
        }
        return bytes;
    }

    // Saves the list whose first `stored` responses are the log, as after a download; returns the
    // failure's message.
    QString Save(int stored)
    {
        item->COUNT = list.Count();
        return TThreadLogSave(list, stored, *item.get()).Run();
    }

    // The log and the .inf are byte for byte what they were before the failed append.
    void ExpectUntouched(const char *cut) const
    {
        EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()).toStdString(), dat.toStdString()) << cut;
        EXPECT_EQ(FileUtil::ReadFile(item->GetInfFile()).toStdString(), inf.toStdString()) << cut;
    }

    ItemRef item;
    TResList list{item.get()};
    QByteArray dat;   // the stored log
    QByteArray inf;   // and its .inf
};

const QStringList NewLines{QStringLiteral("新人<><>2026/12/07 ID:def<>四つ目の書き込み<>"),
                           QStringLiteral("古参<>sage<>2026/12/07 ID:ghi<>五つ目　全角<>")};

// A small ext2 disk mounted at a folder, kept on a loop device whose backing file lies on a tmpfs
// of its own. Writes to the disk land in memory; once the tmpfs is full (Fill), the disk cannot take
// a block it has not used before, and the sync of a file that was given one fails. Needs the rights
// of an administrator, mke2fs and a free loop device; without them Mounted() is false.
class SyncFailingDisk {
public:
    explicit SyncFailingDisk(const QString &folder) : folder(folder)
    {
        if (::geteuid() != 0 || !QDir().mkpath(backing.Path() + "tmpfs") || !QDir().mkpath(folder))
            return;
        const QByteArray tmpfs = QFile::encodeName(backing.Path() + "tmpfs");
        backingMounted = ::mount("tmpfs", tmpfs.constData(), "tmpfs", 0, "size=512k") == 0;
        const QString image = backing.Path() + "tmpfs/disk.img";
        QFile file(image);
        if (!backingMounted || !file.open(QIODevice::WriteOnly) || !file.resize(4 * 1024 * 1024))
            return;
        file.close();
        if (!Run("mkfs.ext2", {"-q", "-F", "-b", "4096", image}))
            return;
        loop = Run("losetup", {"--find", "--show", image}).value_or(QString()).trimmed();
        mounted = !loop.isEmpty()
                  && ::mount(QFile::encodeName(loop).constData(), QFile::encodeName(folder).constData(), "ext2", 0,
                             "errors=continue") == 0;
    }
    ~SyncFailingDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        if (!loop.isEmpty())
            Run("losetup", {"-d", loop});
        if (backingMounted)
            ::umount2(QFile::encodeName(backing.Path() + "tmpfs").constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted; }

    // Puts what was written on the disk into the backing file, then fills what is left of the tmpfs.
    void Fill() const
    {
        const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(::syncfs(fd), 0);
        // and the blocks that files replaced meanwhile leave the backing file, so that none of the
        // free blocks has room there
        struct fstrim_range all {0, ULLONG_MAX, 0};
        EXPECT_EQ(::ioctl(fd, FITRIM, &all), 0);
        ::close(fd);
        FillFileSystem(backing.Path() + "tmpfs/filler");
    }
    // Gives the space back.
    void Free() const { EXPECT_TRUE(QFile::remove(backing.Path() + "tmpfs/filler")); }

private:
    // Runs a system tool; its output, or nothing when it failed.
    static std::optional<QString> Run(const QString &tool, const QStringList &arguments)
    {
        const QString program = QStandardPaths::findExecutable(tool, {"/usr/sbin", "/sbin", "/usr/bin", "/bin"});
        if (program.isEmpty())
            return {};
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(WaitLimitMs)
            || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return {};
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }

    TempDataRoot backing;
    QString folder;
    QString loop;
    bool backingMounted = false;
    bool mounted = false;
};

// What a save reports when the log cannot be written.
QString Failure(const StoredThread &thread)
{
    return QStringLiteral("ファイルを書き込めません: ") + thread.item->GetLogFile();
}

}  // namespace

// The append cut short anywhere among the new lines: inside a two-byte character, just after a
// whole new line, between its CR and LF, or before its first byte. Each time the log is taken back
// to the stored lines, the .inf is not written and the save says which file failed; a later save
// that can write appends the new lines right after the stored ones.
TEST(DatAppend, AnAppendCutShortIsTakenBackAndReported)
{
    ThreadTestEnv env;
    StoredThread thread(env);
    const QByteArray appended = thread.Receive(NewLines);
    const QByteArray first = jconvert::UnicodeToSjis(NewLines[0]) + "\r\n";
    const qsizetype inCharacter = first.indexOf(jconvert::UnicodeToSjis(QStringLiteral("目"))) + 1;
    const std::pair<const char *, qsizetype> cuts[]{
        {"inside a character", inCharacter},
        {"after a whole line", first.size()},
        {"between CR and LF", appended.size() - 1},
        {"before the first byte", 0},
    };
    for (const auto &[cut, at] : cuts) {
        QString failure;
        {
            const FileSizeLimit limit(rlim_t(thread.dat.size() + at));
            if (!limit.Set())
                GTEST_SKIP() << "the file size limit could not be set";
            failure = thread.Save(3);
        }
        EXPECT_EQ(failure.toStdString(), Failure(thread).toStdString()) << cut;
        thread.ExpectUntouched(cut);
    }

    // Stored by the list itself, the same failure is raised to the caller.
    {
        const FileSizeLimit limit(rlim_t(thread.dat.size() + inCharacter));
        ASSERT_TRUE(limit.Set());
        EXPECT_THROW(thread.list.AppendDat(thread.item->GetLogFile(), 3), EFileError);
    }
    thread.ExpectUntouched("appended by the list");

    EXPECT_EQ(thread.Save(3).toStdString(), "");
    EXPECT_EQ(FileUtil::ReadFile(thread.item->GetLogFile()).toStdString(),
              (thread.dat + appended).toStdString());
    thread.item->LoadInfo();
    EXPECT_EQ(thread.item->COUNT, 5);
}

// What the window's save sees: the failure comes back through the save queue on the application's
// thread, and the item read again from its .inf still counts the stored responses only.
TEST(DatAppend, TheQueuedSaveReportsTheFailedAppend)
{
    ThreadTestEnv env;
    StoredThread thread(env);
    thread.Receive(NewLines);
    thread.item->COUNT = thread.list.Count();
    const TThreadLogSave save(thread.list, 3, *thread.item.get());
    std::optional<QString> reported;
    {
        const FileSizeLimit limit(rlim_t(thread.dat.size() + 10));
        ASSERT_TRUE(limit.Set());
        TSaveQueue::Instance().Push(save.Files(), [save] { return save.Run(); },
                                    [&reported](const QString &failure) { reported = failure; });
        TSaveQueue::Instance().WaitAll();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported.has_value(); }, WaitLimitMs));
    EXPECT_EQ(reported->toStdString(), Failure(thread).toStdString());
    thread.ExpectUntouched("on the save queue");
    thread.item->ReloadInfo();
    EXPECT_EQ(thread.item->COUNT, 3);
}

// Every new line reaches the file, whole, but the disk cannot keep them: the sync fails. The lines
// are taken back all the same, and once the disk has room again they are appended after the stored
// ones.
TEST(DatAppend, AnAppendWhoseSyncFailsIsTakenBackAndReported)
{
    ThreadTestEnv env;
    SyncFailingDisk disk(env.root.File("log/test/news"));
    if (!disk.Mounted())
        GTEST_SKIP() << "no disk of its own (needs administrator rights, mke2fs and a loop device)";
    StoredThread thread(env);
    const QByteArray appended = thread.Receive(NewLines);
    disk.Fill();
    EXPECT_EQ(thread.Save(3).toStdString(), Failure(thread).toStdString());
    thread.ExpectUntouched("the sync failed");

    disk.Free();
    EXPECT_EQ(thread.Save(3).toStdString(), "");
    EXPECT_EQ(FileUtil::ReadFile(thread.item->GetLogFile()).toStdString(),
              (thread.dat + appended).toStdString());
}

// An update appends its lines to the stored log, which stays the same file; a log that another
// program changed before the save was taken is not the stored responses any more and is written
// whole, from the list.
TEST(DatAppend, AnUpdateAppendsItsLinesUnlessTheLogChangedOnDisk)
{
    ThreadTestEnv env;
    StoredThread thread(env);
    const QString log = thread.item->GetLogFile();
    const ino_t stored = FileId(log);
    const QByteArray appended = thread.Receive(NewLines);
    EXPECT_EQ(thread.Save(3).toStdString(), "");
    EXPECT_EQ(FileUtil::ReadFile(log).toStdString(), (thread.dat + appended).toStdString());
    EXPECT_EQ(FileId(log), stored);

    const QByteArray whole = thread.dat + appended;
    const QByteArray more = thread.Receive({QStringLiteral("六<><>2026/12/07 ID:jkl<>六つ目<>")});
    for (const QByteArray &changed : {whole + "other program's line\r\n", QByteArray(whole).replace("\r\n", "\n"),
                                      QByteArray(whole).replace("ID:ghi", "ID:xyz")}) {
        FileUtil::WriteFileAtomic(log, changed);
        const ino_t before = FileId(log);
        EXPECT_EQ(thread.Save(5).toStdString(), "");
        EXPECT_EQ(FileUtil::ReadFile(log).toStdString(), (whole + more).toStdString());
        EXPECT_NE(FileId(log), before);
        thread.item->LoadInfo();
        EXPECT_EQ(thread.item->COUNT, 6);
    }
}

// A save taken while the log was the stored responses, run after another program changed it, writes
// nothing: the new lines would not follow the stored ones there. It says so, and the .inf keeps
// describing what it described.
TEST(DatAppend, ALogChangedBetweenTheTakingAndTheRunOfItsSaveIsNotWritten)
{
    ThreadTestEnv env;
    StoredThread thread(env);
    const QString log = thread.item->GetLogFile();
    thread.Receive(NewLines);
    thread.item->COUNT = thread.list.Count();
    const TThreadLogSave save(thread.list, 3, *thread.item.get());
    const QByteArray changed = thread.dat + "other program's line\r\n";
    FileUtil::WriteFileAtomic(log, changed);
    EXPECT_EQ(save.Run().toStdString(),
              (QStringLiteral("ログが他のプログラムに書き換えられたため、新しいレスを追記できません: ") + log).toStdString());
    EXPECT_EQ(FileUtil::ReadFile(log).toStdString(), changed.toStdString());
    EXPECT_EQ(FileUtil::ReadFile(thread.item->GetInfFile()).toStdString(), thread.inf.toStdString());
}
