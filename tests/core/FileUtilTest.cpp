#include "core/FileUtil.h"

#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QDir>

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
