// The user's list files through a start and a close of the main window: what the window did not
// change keeps its bytes, and an unchanged file is not written at all.

#include "WindowTestEnv.h"

#include "controls/WindowLists.h"
#include "core/TextList.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

const QDateTime LongAgo = QDateTime::currentDateTimeUtc().addDays(-3);

void MakeOld(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(LongAgo, QFileDevice::FileModificationTime));
}

}  // namespace

TEST(UserFileKeeping, ListsWithForeignBytesSurviveAStartAndACloseUntouched)
{
    // a byte that is not Shift_JIS, an LF alone, a lone CR and a second code of "∵"
    const QByteArray bookmark = "2ch/news/1234567890=\x83\x65\x83\x58\x83\x67 \x81\x20\r\n"
                                "2ch/news/1234567891=lf\n2ch/news/1234567892=cr\r2ch/news/1234567893=\xfa\x5b\r\n";
    const QByteArray boards = "2ch/news\n2ch/\x81\x20\r\n";
    const QByteArray threads = "2ch/news/1234567890\r2ch/news/1234567891\n";
    const QMap<QString, QByteArray> files = {
        {QStringLiteral("bookmark.txt"), bookmark},
        {QStringLiteral("recbrd.txt"), boards},
        {QStringLiteral("recthrd.txt"), threads},
    };
    TWindowEnv env([&](TWindowEnv &e) {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            e.WriteProfile(it.key(), it.value());
            MakeOld(e.Profile(it.key()));
        }
    });
    env.Start();
    ASSERT_TRUE(env.Close());
    env.Destroy();
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = env.Profile(it.key());
        EXPECT_EQ(FileUtil::ReadFile(path), it.value()) << it.key().toStdString();
        EXPECT_EQ(QFileInfo(path).lastModified().toUTC(), LongAgo) << it.key().toStdString() << " was written again";
    }
}

// A list file that exists but cannot be read is told at the start and left as it is at the close.
TEST(UserFileKeeping, AListThatCannotBeReadIsToldAndNeverWrittenOver)
{
    TWindowEnv env([](TWindowEnv &e) {
        FileUtil::ForceDirectories(e.Profile(QString()));
        ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), e.Profile(QStringLiteral("bookmark.txt"))));
    });
    env.Start();
    const QString path = env.Profile(QStringLiteral("bookmark.txt"));
    EXPECT_TRUE(env.LogLines().join('\n').contains(path)) << env.LogLines().join('\n').toStdString();
    env.Window->StoredLists().BookmarkList.Add(QStringLiteral("2ch/news/1=new"));
    ASSERT_TRUE(env.Close());
    env.Destroy();
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), QStringLiteral("/proc/self/mem"));
}

// A kpw.ini that holds no settings is named in the log pane with the copy kept of it.
TEST(UserFileKeeping, ADamagedSettingsFileIsToldAtTheStart)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("kpw.ini"), "\x89PNG\r\n\x1a\n garbage");
        QFile::remove(e.Profile(QStringLiteral("kpw.bak")));
        e.config->Load();
    });
    env.Start();
    const QString log = env.LogLines().join('\n');
    EXPECT_TRUE(log.contains(env.Profile(QStringLiteral("kpw.ini.damaged")))) << log.toStdString();
    EXPECT_EQ(FileUtil::ReadFile(env.Profile(QStringLiteral("kpw.ini.damaged"))), QByteArray("\x89PNG\r\n\x1a\n garbage"));
}
