#include "FileId.h"
#include "ThreadTestEnv.h"

#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"

#include <gtest/gtest.h>

namespace {

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

// A log with a good first line, a line cut short, an empty line, an old-form line and a line
// holding bytes that are not Shift_JIS.
QByteArray MixedLog()
{
    return Sjis(QStringLiteral("名無し<>sage<>2004/01/01 ID:aaa<>一つ目<>題名\r\n"))
           + Sjis(QStringLiteral("途中で<>切れた\r\n")) + QByteArray("\r\n")
           + Sjis(QStringLiteral("旧,,2001/01/01,本文＠｀です,\r\n")) + QByteArray("bad\x81\x20\xFF<><><>x<>\r\n");
}

}  // namespace

TEST(ResList, EveryLineIsTheResponseOfItsNumber)
{
    TResList list;
    list.LoadDat(MixedLog());
    ASSERT_EQ(list.Count(), 5);
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(list.Get(i)->Number, i + 1);
    EXPECT_EQ(list.Get(0)->ID, QStringLiteral("aaa"));
    EXPECT_EQ(list.Get(0)->Title, QStringLiteral("題名"));
    EXPECT_EQ(list.Get(1)->Mail, QStringLiteral("切れた"));
    EXPECT_TRUE(list.Get(2)->Name.isEmpty());
    EXPECT_EQ(list.Get(3)->Body, QStringLiteral("本文,です"));
    EXPECT_EQ(list.Get(4)->Body, QStringLiteral("x"));
    EXPECT_TRUE(list.Get(4)->Name.contains(QChar(0xFFFD)));
}

TEST(ResList, SaveDatWritesTheLogBackByteForByte)
{
    ThreadTestEnv env;
    const QString path = env.root.File(QStringLiteral("log/1.dat"));
    TResList list;
    list.LoadDat(MixedLog());
    list.Get(1)->Body = QStringLiteral("a rule replaced this");   // changes in memory stay in memory
    list.SaveDat(path);
    EXPECT_EQ(FileUtil::ReadFile(path), MixedLog());
    EXPECT_FALSE(QFile::exists(TThreadItem::InfPathOf(path)));   // nothing erased: no .inf made

    // A line from a server: a character Shift_JIS has no code for is kept as a reference.
    list.AddDatLine(QStringLiteral("n<>m<>d<>한<>"));
    list.SaveDat(path);
    EXPECT_TRUE(FileUtil::ReadFile(path).endsWith("n<>m<>d<>&#54620;<>\r\n"));
}

// New responses go after the stored ones, byte for byte; a log that is not the stored responses as
// the list writes them (changed elsewhere, other line breaks) is written whole instead.
TEST(ResList, AppendDatAddsTheNewLinesToTheLogTheListHolds)
{
    ThreadTestEnv env;
    const QString path = env.root.File(QStringLiteral("log/4.dat"));
    TResList list;
    list.LoadDat(MixedLog());
    list.SaveDat(path);
    list.AddDatLine(QStringLiteral("新<><>2024/01/02<>六つ目<>"));
    list.AddDatLine(QStringLiteral("新<>sage<>2024/01/02<>七つ目<>"));
    list.Get(6)->Erased = true;
    list.AppendDat(path, 5);
    const QByteArray appended = MixedLog() + Sjis(QStringLiteral("新<><>2024/01/02<>六つ目<>\r\n"
                                                                 "新<>sage<>2024/01/02<>七つ目<>\r\n"));
    EXPECT_EQ(FileUtil::ReadFile(path), appended);
    EXPECT_TRUE(TIniFile(TThreadItem::InfPathOf(path)).ReadBool(QStringLiteral("ERASE"), QStringLiteral("RES7")));

    // Changed elsewhere in the same size: the end of the stored lines differs.
    QByteArray changed = FileUtil::ReadFile(path);
    changed[changed.size() - 3] = 'X';
    FileUtil::WriteFileAtomic(path, changed);
    list.AddDatLine(QStringLiteral("八<><>d<>八つ目<>"));
    list.AppendDat(path, 7);
    EXPECT_EQ(FileUtil::ReadFile(path), appended + Sjis(QStringLiteral("八<><>d<>八つ目<>\r\n")));

    // A log with line feeds only is not what the list writes: written whole.
    FileUtil::WriteFileAtomic(path, QByteArray(appended).replace("\r\n", "\n"));
    list.AppendDat(path, 7);
    EXPECT_EQ(FileUtil::ReadFile(path), appended + Sjis(QStringLiteral("八<><>d<>八つ目<>\r\n")));
}

// A list that holds responses made in memory among the stored ones knows their lines' size all the
// same: new responses are appended to the log, which stays the same file.
TEST(ResList, AppendDatAfterResponsesMadeInMemory)
{
    ThreadTestEnv env;
    const QString path = env.root.File(QStringLiteral("log/5.dat"));
    TResList list;
    list.LoadDat(MixedLog());
    auto *made = new TRes;
    made->Number = 6;
    made->Name = QStringLiteral("作成");
    made->SetDate(QStringLiteral("2024/01/03"));
    made->Body = QStringLiteral("手元で作ったレス");
    list.Add(made);
    list.SaveDat(path);
    const QByteArray stored = FileUtil::ReadFile(path);
    const ino_t file = FileId(path);
    list.AddDatLine(QStringLiteral("新<><>2024/01/04<>七つ目<>"));
    list.AppendDat(path, 6);
    EXPECT_EQ(FileUtil::ReadFile(path), stored + Sjis(QStringLiteral("新<><>2024/01/04<>七つ目<>\r\n")));
    EXPECT_EQ(FileId(path), file);
}

TEST(ResList, ResponsesMadeInMemoryCarryTheTitleOnLineOneOnly)
{
    ThreadTestEnv env;
    const QString path = env.root.File(QStringLiteral("log/2.dat"));
    TResList list;
    for (int n = 1; n <= 2; ++n) {
        auto *res = new TRes;
        res->Number = n;
        res->Name = QStringLiteral("名");
        res->SetDate(QStringLiteral("2024/01/01 ID:x"));
        res->Body = QStringLiteral("本文%1").arg(n);
        res->Title = QStringLiteral("題");
        list.Add(res);
    }
    list.SaveDat(path);
    EXPECT_EQ(FileUtil::ReadFile(path), Sjis(QStringLiteral("名<><>2024/01/01 ID:x<>本文1<>題\r\n"
                                                            "名<><>2024/01/01 ID:x<>本文2<>\r\n")));
}

TEST(ResList, ErasedResponsesKeepTheirTextAndComeBackOnRestore)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("100"), QStringLiteral("題名")));
    const QString path = item->GetLogFile();
    FileUtil::WriteFileAtomic(path, MixedLog());
    {
        TResList list(item.get());
        item->LoadResList(list);
        list.Get(0)->Erased = true;
        list.Get(3)->Erased = true;
        list.SaveDat(path);
    }
    EXPECT_EQ(FileUtil::ReadFile(path), MixedLog());   // the text of erased responses is kept
    EXPECT_EQ(item->ReadErasedRes(), (QSet<int>{1, 4}));

    // Restore of response 4, as the restore dialog does it.
    TIniFile inf(item->GetInfFile());
    inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES4"), false);
    inf.UpdateFile();

    TResList reloaded(item.get());
    item->LoadResList(reloaded);
    ASSERT_EQ(reloaded.Count(), 5);
    EXPECT_TRUE(reloaded.Get(0)->Erased);
    EXPECT_FALSE(reloaded.Get(3)->Erased);
    EXPECT_EQ(reloaded.Get(3)->Body, QStringLiteral("本文,です"));
    EXPECT_EQ(reloaded.Get(0)->Title, QStringLiteral("題名"));
    EXPECT_EQ(reloaded.Get(4)->Board, env.news);

    // Saving the list again neither loses the remaining mark nor brings the restored one back.
    reloaded.SaveDat(path);
    EXPECT_EQ(item->ReadErasedRes(), QSet<int>{1});
}

TEST(ResList, LogCompatibilityModeWritesLineFeedsOnly)
{
    ThreadTestEnv env;
    env.config->LOGMODE = 1;
    const QString path = env.root.File(QStringLiteral("log/3.dat"));
    TResList list;
    list.LoadDat("a<>b<>c<>d<>t\r\ne<>f<>g<>h<>\r\n");
    list.SaveDat(path);
    EXPECT_EQ(FileUtil::ReadFile(path), QByteArray("a<>b<>c<>d<>t\ne<>f<>g<>h<>\n"));

    TResList again;
    again.LoadDat(FileUtil::ReadFile(path));
    EXPECT_EQ(again.Count(), 2);
}
