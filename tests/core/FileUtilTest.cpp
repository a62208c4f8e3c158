#include "core/FileUtil.h"

#include "FileSizeLimit.h"
#include "FillFileSystem.h"

#include "core/Exceptions.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/mount.h>

TEST(FileUtil, AtomicWriteCreatesFolderAndReplacesWhole)
{
    TempDataRoot root;
    const QString path = root.File("a/b/c.txt");
    FileUtil::WriteFileAtomic(path, "first version, long");
    FileUtil::WriteFileAtomic(path, "second");
    EXPECT_EQ(FileUtil::ReadFile(path), QByteArray("second"));
    // no temporary file is left beside it
    EXPECT_EQ(QDir(root.File("a/b")).entryList(QDir::Files), QStringList{"c.txt"});
}

TEST(FileUtil, BackupCopiesOnlyExistingFiles)
{
    TempDataRoot root;
    EXPECT_FALSE(FileUtil::MakeBackup(root.File("missing.ini")));
    root.Write("kpw.ini", "[A]\r\nB=1\r\n");
    EXPECT_TRUE(FileUtil::MakeBackup(root.File("kpw.ini"), root.File("kpw.bak")));
    EXPECT_EQ(root.Read("kpw.bak"), QByteArray("[A]\r\nB=1\r\n"));

    // what cannot be read as a file leaves the older copy alone
    QDir(root.Path()).mkpath("ngres.txt");
    root.Write("ngres.bak", "good rules\r\n");
    EXPECT_FALSE(FileUtil::MakeBackup(root.File("ngres.txt"), root.File("ngres.bak")));
    EXPECT_EQ(root.Read("ngres.bak"), QByteArray("good rules\r\n"));
}

// ---- a write that fails leaves the old file ----

namespace {

// A small file system of its own, full except for a few bytes, so that a write runs out of space.
// Mounting needs the rights of an administrator; without them the test is skipped.
class FullDisk {
public:
    FullDisk()
    {
        const QByteArray dir = QFile::encodeName(root.Path() + "disk");
        QDir().mkpath(root.Path() + "disk");
        mounted = ::mount("tmpfs", dir.constData(), "tmpfs", 0, "size=64k") == 0;
        if (mounted)
            path = root.Path() + "disk/";
    }
    ~FullDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted; }
    QString File(const QString &name) const { return path + name; }

    // Fills what is left with a file of its own.
    void Fill() const { FillFileSystem(File("filler")); }

private:
    TempDataRoot root;
    QString path;
    bool mounted = false;
};

// The old file is whole, no temporary is left beside it and the error named the file.
void ExpectWriteRefused(const QString &path, const QByteArray &data, const QByteArray &old)
{
    try {
        FileUtil::WriteFileAtomic(path, data);
        ADD_FAILURE() << "a write that could not finish was reported as done";
    } catch (const EFileError &e) {
        EXPECT_TRUE(e.Message.contains(path)) << e.Message.toStdString();
    }
    EXPECT_EQ(FileUtil::ReadFile(path), old);
    const QFileInfo info(path);
    const QStringList left = QDir(info.absolutePath()).entryList({info.fileName() + ".*"}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

}  // namespace

TEST(FileUtil, FullDiskKeepsTheOldFileAndSaysSo)
{
    FullDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a small tmpfs was refused (needs administrator rights)";
    const QByteArray cookie = "[COOKIE]\r\nA=1234\r\n";
    const QByteArray backup(7400, 'b');
    FileUtil::WriteFileAtomic(disk.File("cookie.ini"), cookie);
    FileUtil::WriteFileAtomic(disk.File("kpw.bak"), backup);
    disk.Fill();

    // a small write sits in a buffer until it is flushed; a large one fails at once
    ExpectWriteRefused(disk.File("cookie.ini"), "[COOKIE]\r\nA=5678\r\nB=1\r\n", cookie);
    ExpectWriteRefused(disk.File("kpw.bak"), QByteArray(8000, 'c'), backup);
    ExpectWriteRefused(disk.File("kpw.bak"), QByteArray(150 * 1024, 'd'), backup);
}

TEST(FileUtil, WriteOverTheSizeLimitKeepsTheOldFile)
{
    // the same failure without a file system of its own: the process may not write past 4 KB
    TempDataRoot root;
    const QByteArray old = "old contents\r\n";
    root.Write("sendlog.txt", old);
    const FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.Set());
    ExpectWriteRefused(root.File("sendlog.txt"), QByteArray(6000, 's'), old);
    ExpectWriteRefused(root.File("sendlog.txt"), QByteArray(100 * 1024, 's'), old);
}

TEST(FileUtil, UnreadableFileIsToldApartFromMissingOne)
{
    TempDataRoot root;
    QByteArray data = "left over";
    EXPECT_EQ(FileUtil::ReadWholeFile(root.File("none.txt"), data), FileUtil::TReadResult::Missing);
    EXPECT_TRUE(data.isEmpty());
    root.Write("a.txt", "abc");
    EXPECT_EQ(FileUtil::ReadWholeFile(root.File("a.txt"), data), FileUtil::TReadResult::Read);
    EXPECT_EQ(data, QByteArray("abc"));
    // a file whose every read fails with an I/O error, even for an administrator
    ASSERT_TRUE(QFile::link("/proc/self/mem", root.File("broken.txt")));
    EXPECT_EQ(FileUtil::ReadWholeFile(root.File("broken.txt"), data), FileUtil::TReadResult::Failed);
    EXPECT_TRUE(data.isEmpty());
}

TEST(FileUtil, StaleTemporariesGoWhenTheirFolderIsWritten)
{
    TempDataRoot root;
    ASSERT_TRUE(QDir().mkpath(root.File("log")));
    // written as a killed run left them, without this run's writer
    const auto put = [&](const char *name, const QByteArray &bytes, bool old) {
        QFile f(root.File(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.flush();
        if (old) {
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1), QFileDevice::FileModificationTime));
        }
    };
    put("log/a.dat", "dat", true);
    put("log/a.inf", "inf", true);
    put("log/a.inf.kQzRwT", "killed mid-write", true);              // an earlier run's
    put("log/a.inf.backup", "the user's own copy", true);           // one case only: a name
    put("log/gone.inf.kQzRwT", "nothing beside it to be of", true); // no file of that name
    put("log/a.dat.PxYzAb", "a write of this run, still going", false);
    FileUtil::WriteFileAtomic(root.File("log/b.inf"), "new");
    QStringList left = QDir(root.File("log")).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"a.dat", "a.dat.PxYzAb", "a.inf", "a.inf.backup", "b.inf", "gone.inf.kQzRwT"}));
}

// A name at the file system's limit leaves no room for a suffix: the temporary takes the start of
// the name, and the file is replaced as often as it is written. One that a killed run left goes.
TEST(FileUtil, NamesUpToTheLimitAreReplacedAgainAndAgain)
{
    TempDataRoot root;
    const QString longest = QString(85, QChar(0x30B9));   // 85 three-byte letters: 255 bytes
    ASSERT_EQ(QFile::encodeName(longest).size(), 255);
    for (const QString &name : {longest, QString(249, QLatin1Char('a')), QString(255, QLatin1Char('b'))}) {
        const QString path = root.File(name);
        FileUtil::WriteFileAtomic(path, "first");
        FileUtil::WriteFileAtomic(path, "second");
        FileUtil::WriteFileAtomic(path, "third");
        EXPECT_EQ(FileUtil::ReadFile(path), QByteArray("third"));
    }
    QStringList left = QDir(root.Path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{QString(249, QLatin1Char('a')), QString(255, QLatin1Char('b')), longest}));

    ASSERT_TRUE(QDir().mkpath(root.File("killed")));
    const QString killedName = root.File("killed/") + QString(255, QLatin1Char('c'));
    QFile target(killedName);   // written as a killed run left it, without this run's writer
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("old");
    target.close();
    QFile killed(root.File("killed/") + QString(248, QLatin1Char('c')) + ".kQzRwT");
    ASSERT_TRUE(killed.open(QIODevice::WriteOnly));
    killed.write("killed mid-write");
    killed.close();
    ASSERT_TRUE(killed.open(QIODevice::ReadWrite));
    ASSERT_TRUE(killed.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1), QFileDevice::FileModificationTime));
    killed.close();
    FileUtil::WriteFileAtomic(killedName, "new");
    EXPECT_EQ(QDir(root.File("killed")).entryList(QDir::Files), QStringList{QString(255, QLatin1Char('c'))});
}

// A disk that takes part of a write and then no more is named as full, and so is one that takes
// nothing; the old file stays whole.
TEST(FileUtil, AWriteThatPartlyFitsNamesTheFullDisk)
{
    FullDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a small tmpfs was refused (needs administrator rights)";
    const QByteArray old = "old\r\n";
    FileUtil::WriteFileAtomic(disk.File("export.dat"), old);
    FileUtil::WriteFileAtomic(disk.File("room"), QByteArray(16 * 1024, 'r'));
    disk.Fill();
    ASSERT_TRUE(QFile::remove(disk.File("room")));   // 16 KB free: part of the write fits

    for (const int size : {100 * 1024, 12 * 1024 + 100 * 1024}) {
        try {
            FileUtil::WriteFileAtomic(disk.File("export.dat"), QByteArray(size, 'x'));
            ADD_FAILURE() << "a write that could not finish was reported as done";
        } catch (const EFileError &e) {
            EXPECT_TRUE(e.Message.contains(QStringLiteral("ディスクの空きが足りません"))) << e.Message.toStdString();
        }
        EXPECT_EQ(FileUtil::ReadFile(disk.File("export.dat")), old);
    }
}
