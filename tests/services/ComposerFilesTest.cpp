// The composers' user files: identities, histories, remembered values per thread and post logs.

#include "support/TempDataRoot.h"

#include "services/ComposerFiles.h"

#include "core/Exceptions.h"
#include "core/JConvert.h"
#include "core/TavuConfig.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

class ComposerFilesTest : public ::testing::Test {
protected:
    ComposerFilesTest()
    {
        config = std::make_unique<TTavuConfig>();
        oldConfig = std::exchange(TavuConfig, config.get());
    }
    ~ComposerFilesTest() override { TavuConfig = oldConfig; }

    QString Path(const QString &name) const { return TavuConfig->GetProfileDir() + name; }
    QByteArray Bytes(const QString &name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray Sjis(const QString &text) { return jconvert::UnicodeToSjis(text); }

    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config;
    TTavuConfig *oldConfig = nullptr;
};

}  // namespace

TEST_F(ComposerFilesTest, SendNameKeepsTheNewest1024LinesAndTheLastLineWins)
{
    const QString thread = ComposerFiles::ThreadIdentity(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("123"));
    ComposerFiles::AppendSendName({thread, QStringLiteral("古い"), QStringLiteral("sage"), true, false, false});
    for (int i = 0; i < 1023; ++i)
        ComposerFiles::AppendSendName({QStringLiteral("x_y_%1").arg(i), QStringLiteral("n"), QString(), false, false, false});
    ASSERT_EQ(ComposerFiles::LookupSendNames(thread).size(), 1);

    // The 1025th line pushes the first one out.
    ComposerFiles::AppendSendName({thread, QStringLiteral("新しい\tタブ"), QStringLiteral("age"), false, true, true});
    const QStringList lines = ComposerFiles::LoadLines(ComposerFiles::SendNameFile());
    EXPECT_EQ(lines.size(), 1024);
    const QList<ComposerFiles::TSendName> found = ComposerFiles::LookupSendNames(thread);
    ASSERT_EQ(found.size(), 1);
    // A TAB typed into the name cannot add a field.
    EXPECT_EQ(found[0].Name, QStringLiteral("新しい タブ"));
    EXPECT_EQ(found[0].Mail, QStringLiteral("age"));
    EXPECT_FALSE(found[0].Sage);
    EXPECT_TRUE(found[0].Pre);
    EXPECT_TRUE(found[0].Touhaba);
    EXPECT_EQ(lines.last(), thread + QStringLiteral("\t新しい タブ\tage\t0\t1\t1"));
}

TEST_F(ComposerFilesTest, HistoriesMoveAnEntryToTheTopAndIgnoreEmptyOnes)
{
    Write(ComposerFiles::NameLogFile(), Sjis(QStringLiteral("一\r\n二\r\n三\r\n四\r\n")));
    ComposerFiles::RecordHistory(ComposerFiles::NameLogFile(), QStringLiteral("三"));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::NameLogFile()),
              QStringList({QStringLiteral("三"), QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("四")}));

    ComposerFiles::RecordHistory(ComposerFiles::MailLogFile(), QString());
    EXPECT_FALSE(QFile::exists(Path(ComposerFiles::MailLogFile())));

    QStringList history = {QStringLiteral("Sage"), QStringLiteral("x")};
    EXPECT_TRUE(ComposerFiles::PushHistory(history, QStringLiteral("sage")));
    EXPECT_EQ(history, QStringList({QStringLiteral("sage"), QStringLiteral("x")}));
}

TEST_F(ComposerFilesTest, PostLogBlocksGoInFrontAndKeepTheOldLogByteForByte)
{
    // An old log with a byte sequence that is not Shift_JIS survives untouched behind the new block.
    const QByteArray old = QByteArray(" \r\nold\x81\r\n");
    Write(ComposerFiles::SendLogFile(), old);
    ComposerFiles::TPostLogEntry entry;
    entry.Title = QStringLiteral("スレ");
    entry.BoardName = QStringLiteral("ニュース");
    entry.SiteName = QStringLiteral("テスト");
    entry.Name = QStringLiteral("名無し");
    entry.Mail = QStringLiteral("sage");
    entry.Body = QStringLiteral("一行目\n\n三行目 \U0001F600");
    entry.Time = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    ComposerFiles::PrependPostLog(Path(ComposerFiles::SendLogFile()), entry);

    const QByteArray expected = Sjis(QStringLiteral(
        " \r\nスレ名：スレ\r\n板　名：ニュース＠テスト\r\n投稿者：名無し\r\nメール：sage\r\n投稿日：2024/05/06 07:08:09\r\n"
        "本　文： \r\n \r\n一行目\r\n\r\n三行目 &#128512;\r\n \r\n---------- \r\n"));
    EXPECT_EQ(Bytes(ComposerFiles::SendLogFile()), expected + old);

    // A new thread's block carries the password line right after the title, only when asked for.
    entry.HasPassword = true;
    entry.Password = QStringLiteral("pw");
    const QStringList block = ComposerFiles::PostLogBlock(entry);
    EXPECT_EQ(block.mid(1, 3), QStringList({QStringLiteral("スレ名：スレ"), QStringLiteral("(P  W)：pw"),
                                            QStringLiteral("板　名：ニュース＠テスト")}));
}

TEST_F(ComposerFilesTest, BoardHandlesWriteOnlyWhatIsSetAndReadWhatIsThere)
{
    ComposerFiles::SaveBoardHandles({{QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("名"), QString()},
                                     {QStringLiteral("2ch"), QStringLiteral("empty"), QString(), QString()},
                                     {QStringLiteral("jbbs"), QStringLiteral("game"), QString(), QStringLiteral("sage")}});
    EXPECT_EQ(Bytes(ComposerFiles::HandleFile()), Sjis(QStringLiteral("2ch_news_HANDLE=名\r\njbbs_game_MAIL=sage\r\n")));

    const ComposerFiles::TBoardHandle news = ComposerFiles::LookupBoardHandle(QStringLiteral("2ch"), QStringLiteral("news"));
    EXPECT_EQ(news.Handle, QStringLiteral("名"));
    EXPECT_TRUE(news.Mail.isEmpty());
    EXPECT_EQ(ComposerFiles::LookupBoardHandle(QStringLiteral("jbbs"), QStringLiteral("game")).Mail, QStringLiteral("sage"));
}

TEST_F(ComposerFilesTest, ThreadHandlesMatchTitleTextCaseSensitivelyInFileOrder)
{
    ComposerFiles::SaveThreadHandles({{QString(), QStringLiteral("never"), QString()},
                                      {QStringLiteral("Qt"), QStringLiteral("first"), QStringLiteral("m1")},
                                      {QStringLiteral("qt"), QStringLiteral("lower"), QString()},
                                      {QStringLiteral("スレ"), QStringLiteral("last"), QStringLiteral("m2")}});
    const QList<ComposerFiles::TThreadHandle> loaded = ComposerFiles::LoadThreadHandles();
    ASSERT_EQ(loaded.size(), 4);
    const QList<ComposerFiles::TThreadHandle> found = ComposerFiles::MatchThreadHandles(loaded, QStringLiteral("Qtのスレ"));
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].Handle, QStringLiteral("first"));
    EXPECT_EQ(found[1].Handle, QStringLiteral("last"));
}

TEST_F(ComposerFilesTest, AnOverfullLogIsSetAsideReplacingAnOlderCopy)
{
    const QString log = Path(ComposerFiles::SendLogFile());
    QString text;
    EXPECT_EQ(ComposerFiles::ReadPostLogForPage(log, text), ComposerFiles::TPostLogPage::Read);   // missing: empty
    EXPECT_TRUE(text.isEmpty());

    Write(ComposerFiles::SendLogFile(), QByteArray(ComposerFiles::MaxPostLogPageBytes + 1, 'a'));
    Write(QStringLiteral("sendlog.bak"), "older");
    EXPECT_EQ(ComposerFiles::ReadPostLogForPage(log, text), ComposerFiles::TPostLogPage::TooLarge);
    EXPECT_EQ(ComposerFiles::RenameOverfullLog(log), Path(QStringLiteral("sendlog.bak")));
    EXPECT_FALSE(QFile::exists(log));
    EXPECT_EQ(Bytes(QStringLiteral("sendlog.bak")).size(), ComposerFiles::MaxPostLogPageBytes + 1);
}

TEST_F(ComposerFilesTest, ASetAsideThatFailsLeavesBothLogsAndSaysWhy)
{
    const QString log = Path(ComposerFiles::SendLogFile());
    Write(ComposerFiles::SendLogFile(), "too big");
    // the older copy's name is taken by a folder with a file in it: the rename cannot replace it
    const QString bak = Path(QStringLiteral("sendlog.bak"));
    ASSERT_TRUE(QDir().mkpath(bak));
    Write(QStringLiteral("sendlog.bak/older.txt"), "older");
    try {
        ComposerFiles::RenameOverfullLog(log);
        ADD_FAILURE() << "a rename that failed was reported as done";
    } catch (const EFileError &e) {
        EXPECT_TRUE(e.Message.contains(log)) << e.Message.toStdString();
    }
    EXPECT_EQ(Bytes(ComposerFiles::SendLogFile()), QByteArray("too big"));
    EXPECT_EQ(Bytes(QStringLiteral("sendlog.bak/older.txt")), QByteArray("older"));
}

TEST_F(ComposerFilesTest, ALogThatCannotBeReadIsNeitherOverflowNorWrittenOver)
{
    const QString log = Path(ComposerFiles::SendLogFile());
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), log));   // every read fails
    QString text;
    EXPECT_EQ(ComposerFiles::ReadPostLogForPage(log, text), ComposerFiles::TPostLogPage::Unreadable);
    ComposerFiles::TPostLogEntry entry;
    entry.Body = QStringLiteral("本文");
    EXPECT_THROW(ComposerFiles::PrependPostLog(log, entry), EFileError);
    EXPECT_EQ(QFileInfo(log).symLinkTarget(), QStringLiteral("/proc/self/mem"));
}

TEST_F(ComposerFilesTest, AnAAListFileReplacesTheBuiltInSnippets)
{
    EXPECT_EQ(ComposerFiles::LoadAAList().size(), 6);
    Write(ComposerFiles::AAListFile(), Sjis(QStringLiteral("(´・ω・`)\r\n")));
    EXPECT_EQ(ComposerFiles::LoadAAList(), QStringList({QStringLiteral("(´・ω・`)")}));
}
