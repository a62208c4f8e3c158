// Bringing a log back from a local folder: through every folder it passed, and never without the
// place it came from.

#include "ThreadTestEnv.h"

#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/LocalFolderReturn.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

TEST(LocalFolderReturn, ALogMovedTwiceComesBackAndLeavesNoRedirectBehind)
{
    ThreadTestEnv env;
    const QString news = env.news->GetLogDir();
    const QString local = env.local->GetLogDir();
    const QString second = env.root.Path() + QStringLiteral("second/");
    ItemRef item(env.NewItem(QStringLiteral("800"), QStringLiteral("題")));
    FileUtil::WriteFileAtomic(item->GetLogFile(), "a<>b<>c<>d<>題\r\n");
    item->COUNT = 1;
    ASSERT_TRUE(item->SaveInfo());
    const QByteArray inf = FileUtil::ReadFile(news + QStringLiteral("800.inf"));
    EXPECT_EQ(LocalFolderReturn::FormerBoard(*item.get()), nullptr);   // not in a local folder
    EXPECT_FALSE(LocalFolderReturn::MoveBack(item.get()));

    ASSERT_TRUE(item->MoveToLocalFolder(local));
    ASSERT_TRUE(item->MoveToLocalFolder(second));
    EXPECT_EQ(LocalFolderReturn::FormerBoard(*item.get()), env.news);
    ASSERT_TRUE(LocalFolderReturn::MoveBack(item.get()));
    EXPECT_EQ(item->GetLogFile(), news + QStringLiteral("800.dat"));
    EXPECT_FALSE(item->LOCALLOG);
    EXPECT_EQ(FileUtil::ReadFile(news + QStringLiteral("800.inf")), inf);
    EXPECT_FALSE(QFile::exists(local + QStringLiteral("800.inf")));   // the redirect on the way
    EXPECT_TRUE(QDir(second).entryList(QDir::Files).isEmpty());
}

TEST(LocalFolderReturn, ALogWithoutItsFormerPlaceStays)
{
    ThreadTestEnv env;
    const QString local = env.local->GetLogDir();
    ItemRef item(env.NewItem(QStringLiteral("801")));
    ASSERT_TRUE(FileUtil::ForceDirectories(local));
    FileUtil::WriteFileAtomic(local + QStringLiteral("801.dat"), "a<>b<>c<>d<>t\r\n");
    item->SetLogFile(local + QStringLiteral("801.dat"));
    item->LOCALLOG = true;
    ASSERT_TRUE(item->SaveInfo());
    // No [ORG]: nowhere to go back to.
    EXPECT_EQ(LocalFolderReturn::FormerBoard(*item.get()), nullptr);
    EXPECT_FALSE(LocalFolderReturn::MoveBack(item.get()));
    // [ORG] naming a board that no longer exists: the same.
    TIniFile inf(local + QStringLiteral("801.inf"));
    inf.WriteString(QStringLiteral("ORG"), QStringLiteral("SITEID"), QStringLiteral("test"));
    inf.WriteString(QStringLiteral("ORG"), QStringLiteral("BOARDID"), QStringLiteral("gone"));
    inf.UpdateFile();
    EXPECT_FALSE(LocalFolderReturn::MoveBack(item.get()));
    EXPECT_TRUE(QFile::exists(local + QStringLiteral("801.dat")));
}
