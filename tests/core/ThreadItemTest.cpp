#include "ThreadTestEnv.h"

#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/ResList.h"

#include <QDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

void Touch(const QString &path, const QByteArray &bytes = "x<>y<>z<>w<>t\r\n")
{
    FileUtil::WriteFileAtomic(path, bytes);
}

void WriteRedirect(const QString &infPath, const QString &folder)
{
    TIniFile inf(infPath);
    inf.WriteString(QStringLiteral("INFO"), QStringLiteral("LOCAL"), folder);
    inf.UpdateFile();
}

}  // namespace

TEST(ThreadItem, LocationAndPaths)
{
    ThreadTestEnv env;
    ItemRef item(new TThreadItem);
    EXPECT_TRUE(item->SetLocation(QStringLiteral("test"), QStringLiteral("news"), QStringLiteral("1234"),
                                  QStringLiteral("題")));
    EXPECT_EQ(item->DatName, QStringLiteral("1234.dat"));
    EXPECT_EQ(item->GetKey(), QStringLiteral("1234"));
    EXPECT_EQ(item->GetBoard(), env.news);
    EXPECT_EQ(item->GetLogFile(), env.news->GetLogDir() + QStringLiteral("1234.dat"));
    EXPECT_EQ(item->GetInfFile(), env.news->GetLogDir() + QStringLiteral("1234.inf"));
    EXPECT_FALSE(item->LogExists());

    EXPECT_FALSE(item->SetLocation(QStringLiteral("test"), QStringLiteral("nosuch"), QStringLiteral("1.dat"),
                                   QString()));
    EXPECT_EQ(item->GetBoard(), nullptr);
    EXPECT_TRUE(item->GetLogFile().isEmpty());

    // A key from outside never becomes a path outside the log folder.
    EXPECT_FALSE(item->SetLocation(QStringLiteral("test"), QStringLiteral("news"),
                                   QStringLiteral("../../secret.dat"), QString()));
    EXPECT_TRUE(item->GetLogFile().isEmpty());

    ItemRef copy(new TThreadItem);
    item->SetLocation(QStringLiteral("test"), QStringLiteral("news"), QStringLiteral("55.dat"), QString());
    copy->CopyLocation(*item.get());
    EXPECT_EQ(copy->GetLogFile(), item->GetLogFile());

    item->SetPriority(12345);
    EXPECT_EQ(item->PRIORITY, 9999);
    item->SetPriority(-3);
    EXPECT_EQ(item->PRIORITY, 0);
}

TEST(ThreadItem, InfRoundTripKeepsWhatOthersWrote)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("200"), QStringLiteral("元の題")));
    TIniFile other(item->GetInfFile());   // written directly by others
    other.WriteString(QStringLiteral("ERASE"), QStringLiteral("RES3"), QStringLiteral("1"));
    other.WriteString(QStringLiteral("ORG"), QStringLiteral("SITEID"), QStringLiteral("2ch"));
    other.UpdateFile();

    item->AGECOUNT = 50;
    item->COUNT = 40;
    item->READ = 30;
    item->BOLD = true;
    item->COLOR = 0x00112233;
    item->KAKOLOG = true;
    item->FAVORITE = true;
    item->SetPriority(77);
    item->READPOINT = 12;
    item->TOP = 9;
    item->COMMENT = QStringLiteral("一行目\r\n二行目");
    item->LAST_LOAD = QStringLiteral("2024/01/02 03:04:05");
    item->LAST_MODIFIED = QStringLiteral("Tue, 02 Jan 2024 03:04:05 GMT");
    item->ETAG = QStringLiteral("\"abc\"");
    item->SIZE = 5000000000LL;
    item->LOCALLOG = true;
    auto *bookmark = new TBookmarkRes;
    bookmark->ResNo = 7;
    bookmark->Name = QStringLiteral("名無し");
    bookmark->Body = QStringLiteral("本文");
    bookmark->Memo = QStringLiteral("メモ\r\n続き");
    bookmark->Category = QStringLiteral("分類");
    item->Bookmarks.Add(bookmark);
    ASSERT_TRUE(item->SaveInfo());

    ItemRef loaded(env.NewItem(QStringLiteral("200")));
    loaded->LoadInfo();
    EXPECT_EQ(loaded->TITLE, QStringLiteral("元の題"));
    EXPECT_EQ(loaded->AGECOUNT, 50);
    EXPECT_EQ(loaded->COUNT, 40);
    EXPECT_EQ(loaded->READ, 30);
    EXPECT_TRUE(loaded->BOLD);
    EXPECT_FALSE(loaded->REVERSE);
    EXPECT_EQ(loaded->COLOR, 0x00112233);
    EXPECT_TRUE(loaded->KAKOLOG);
    EXPECT_FALSE(loaded->Live);
    EXPECT_TRUE(loaded->FAVORITE);
    EXPECT_EQ(loaded->PRIORITY, 77);
    EXPECT_EQ(loaded->READPOINT, 12);
    EXPECT_EQ(loaded->TOP, 9);
    EXPECT_EQ(loaded->COMMENT, item->COMMENT);
    EXPECT_EQ(loaded->LAST_LOAD, item->LAST_LOAD);
    EXPECT_EQ(loaded->LAST_MODIFIED, item->LAST_MODIFIED);
    EXPECT_EQ(loaded->ETAG, item->ETAG);
    EXPECT_EQ(loaded->SIZE, 5000000000LL);
    EXPECT_TRUE(loaded->LOCALLOG);
    ASSERT_EQ(loaded->Bookmarks.Count(), 1);
    EXPECT_EQ(loaded->Bookmarks.FindByResNo(7)->Memo, bookmark->Memo);
    EXPECT_EQ(loaded->Bookmarks.Get(0)->Category, QStringLiteral("分類"));
    EXPECT_EQ(loaded->Bookmarks.Get(0)->Item, loaded.get());

    const TIniFile after(item->GetInfFile());
    EXPECT_EQ(after.ReadString(QStringLiteral("ORG"), QStringLiteral("SITEID")), QStringLiteral("2ch"));
    EXPECT_EQ(loaded->ReadErasedRes(), QSet<int>{3});
    EXPECT_EQ(FileUtil::ReadFile(item->GetInfFile()).count("\r\n"),
              FileUtil::ReadFile(item->GetInfFile()).count('\n'));   // CR LF, comment on one line

    // An item that never read its .inf does not wipe the bookmarks stored there.
    ItemRef fresh(env.NewItem(QStringLiteral("200")));
    fresh->READ = 31;
    ASSERT_TRUE(fresh->SaveInfo());
    loaded->LoadInfo();
    EXPECT_EQ(loaded->Bookmarks.Count(), 1);
    EXPECT_EQ(loaded->READ, 31);
}

TEST(ThreadItem, TruncatedInfReadsDefaults)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("300"), QStringLiteral("一覧の題")));
    item->COUNT = 10;
    item->READ = 8;
    item->PRIORITY = 5;
    item->COMMENT = QStringLiteral("c");
    item->SaveInfo();
    const QByteArray whole = FileUtil::ReadFile(item->GetInfFile());
    FileUtil::WriteFileAtomic(item->GetInfFile(), whole.left(whole.indexOf("READ=") + 5));   // cut after "READ="

    ItemRef loaded(env.NewItem(QStringLiteral("300"), QStringLiteral("一覧の題")));
    loaded->AGECOUNT = 99;
    loaded->PRIORITY = 3;   // stale values of a reused item
    loaded->LoadInfo();
    EXPECT_EQ(loaded->COUNT, 10);
    EXPECT_EQ(loaded->READ, 0);
    EXPECT_EQ(loaded->PRIORITY, 0);
    EXPECT_TRUE(loaded->COMMENT.isEmpty());
    EXPECT_EQ(loaded->TITLE, QStringLiteral("一覧の題"));
    EXPECT_EQ(loaded->AGECOUNT, 0);   // stored before the cut

    FileUtil::WriteFileAtomic(loaded->GetInfFile(), QByteArray("[LOG]\r\nCOUNT=abc\r\nPRIORITY=100000\r\n[BOOK"));
    loaded->AGECOUNT = 99;
    loaded->LoadInfo();
    EXPECT_EQ(loaded->COUNT, 0);
    EXPECT_EQ(loaded->PRIORITY, 9999);
    EXPECT_EQ(loaded->AGECOUNT, 99);
    EXPECT_EQ(loaded->TITLE, QStringLiteral("一覧の題"));
    EXPECT_EQ(loaded->Bookmarks.Count(), 0);

    // a damaged bookmark count reads the entries that are there, at once
    FileUtil::WriteFileAtomic(loaded->GetInfFile(),
                              QByteArray("[BOOKMARK]\r\nCOUNT=2000000000\r\nRESNO7=12\r\nBODY7=b\r\nRESNO3=4\r\n"));
    loaded->LoadInfo();
    ASSERT_EQ(loaded->Bookmarks.Count(), 2);
    EXPECT_EQ(loaded->Bookmarks.Get(0)->ResNo, 4);
    EXPECT_EQ(loaded->Bookmarks.Get(1)->Body, QStringLiteral("b"));
}

TEST(ThreadItem, MovedLogsAreFoundThroughTheirRedirects)
{
    ThreadTestEnv env;
    const QString news = env.news->GetLogDir();
    const QString local = env.local->GetLogDir();
    const QString second = env.root.File(QStringLiteral("second/"));
    Touch(second + QStringLiteral("400.dat"));
    WriteRedirect(news + QStringLiteral("400.inf"), local);
    WriteRedirect(local + QStringLiteral("400.inf"), second);   // moved a second time

    ItemRef item(env.NewItem(QStringLiteral("400")));
    EXPECT_EQ(item->GetLogFile(), second + QStringLiteral("400.dat"));
    EXPECT_TRUE(item->LogExists());
    item->READ = 5;
    item->SaveInfo();
    EXPECT_TRUE(QFile::exists(second + QStringLiteral("400.inf")));
    EXPECT_EQ(TIniFile(news + QStringLiteral("400.inf")).ReadString(QStringLiteral("LOG"), QStringLiteral("READ")),
              QString());   // the redirect stays a redirect

    // Redirects that point at each other end instead of looping.
    WriteRedirect(news + QStringLiteral("401.inf"), local);
    WriteRedirect(local + QStringLiteral("401.inf"), news);
    ItemRef circle(env.NewItem(QStringLiteral("401")));
    EXPECT_FALSE(circle->GetLogFile().isEmpty());

    // Deleting the moved log deletes the redirects on its way.
    item->DeleteLog();
    EXPECT_FALSE(QFile::exists(second + QStringLiteral("400.dat")));
    EXPECT_FALSE(QFile::exists(second + QStringLiteral("400.inf")));
    EXPECT_FALSE(QFile::exists(local + QStringLiteral("400.inf")));
    EXPECT_FALSE(QFile::exists(news + QStringLiteral("400.inf")));
    EXPECT_EQ(item->GetLogFile(), news + QStringLiteral("400.dat"));
}

TEST(ThreadItem, DeleteLog)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("500"), QStringLiteral("題")));
    Touch(item->GetLogFile());
    Touch(item->GetBakFile());
    item->COUNT = 20;
    item->READ = 20;
    item->SIZE = 4096;
    item->LAST_MODIFIED = QStringLiteral("then");
    item->ETAG = QStringLiteral("\"e\"");
    item->FAVORITE = true;
    item->SaveInfo();

    // Fetching anew: the .inf stays, its counts go to BAK, the fetch starts from nothing.
    item->DeleteLog(TThreadItem::KeepInf);
    EXPECT_FALSE(item->LogExists());
    EXPECT_TRUE(QFile::exists(item->GetBakFile()));
    ItemRef reread(env.NewItem(QStringLiteral("500")));
    reread->LoadInfo();
    EXPECT_EQ(reread->COUNT, 0);
    EXPECT_EQ(reread->SIZE, 0);
    EXPECT_TRUE(reread->LAST_MODIFIED.isEmpty());
    EXPECT_TRUE(reread->ETAG.isEmpty());
    EXPECT_TRUE(reread->FAVORITE);
    EXPECT_EQ(reread->TITLE, QStringLiteral("題"));
    const TIniFile inf(item->GetInfFile());
    EXPECT_EQ(inf.ReadInteger(QStringLiteral("BAK"), QStringLiteral("COUNT")), 20);
    EXPECT_EQ(inf.ReadInteger(QStringLiteral("BAK"), QStringLiteral("SIZE")), 4096);
    EXPECT_EQ(inf.ReadString(QStringLiteral("BAK"), QStringLiteral("LAST_MODIFIED")), QStringLiteral("then"));

    // Deleting for good takes the .inf and the copy; the item forgets the log's counts.
    Touch(item->GetLogFile());
    item->DeleteLog();
    EXPECT_FALSE(item->LogExists());
    EXPECT_FALSE(QFile::exists(item->GetInfFile()));
    EXPECT_FALSE(QFile::exists(item->GetBakFile()));
    EXPECT_EQ(item->COUNT, 0);
    EXPECT_TRUE(item->FAVORITE);   // kept in memory: the caller may save it again
}

TEST(ThreadItem, LogCompatibilityModeWritesTheIdx)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("600"), QStringLiteral("題")));
    item->COUNT = 3;
    item->SaveInfo();
    EXPECT_FALSE(QFile::exists(item->GetIdxFile()));

    env.config->LOGMODE = 1;
    item->SaveInfo();
    const TIniFile idx(item->GetIdxFile());
    EXPECT_EQ(idx.ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT")), 3);
    EXPECT_EQ(idx.ReadString(QStringLiteral("LOG"), QStringLiteral("TITLE")), QStringLiteral("題"));
    Touch(item->GetLogFile());
    item->DeleteLog();
    EXPECT_FALSE(QFile::exists(item->GetIdxFile()));
}

TEST(ThreadItem, ReferencesAcrossThreadsAndEvents)
{
    auto *item = new TThreadItem;
    std::atomic<int> adds{0};
    std::atomic<int> releases{0};
    int changes = 0;
    item->OnAddRef = [&](TThreadItem *) { ++adds; };
    item->OnRelease = [&](TThreadItem *) { ++releases; };
    item->OnChange = [&](TThreadItem *) { ++changes; };

    constexpr int PerThread = 20000;
    QList<QThread *> threads;
    for (int t = 0; t < 4; ++t) {
        threads.append(QThread::create([item] {
            for (int i = 0; i < PerThread; ++i) {
                item->AddRef();
                item->Release();
            }
        }));
        threads.last()->start();
    }
    for (QThread *thread : threads) {
        thread->wait();
        delete thread;
    }
    EXPECT_EQ(item->RefCount(), 1);
    EXPECT_EQ(adds.load(), 4 * PerThread);
    item->SetTitle(QStringLiteral("t"));
    item->SetKakolog(true);
    EXPECT_FALSE(item->Live);
    EXPECT_EQ(changes, 2);
    item->Release();   // the last reference frees it
    EXPECT_EQ(releases.load(), 4 * PerThread + 1);
}

TEST(ThreadItem, MovingToLocalFoldersLeavesRedirectsAndKeepsTheFirstPlace)
{
    ThreadTestEnv env;
    const QString news = env.news->GetLogDir();
    const QString local = env.local->GetLogDir();
    const QString second = env.root.File(QStringLiteral("second/"));
    ItemRef item(env.NewItem(QStringLiteral("700"), QStringLiteral("題")));
    Touch(item->GetLogFile());
    Touch(news + QStringLiteral("700.txt"), "memo");
    item->READ = 4;
    item->SetKakolog(true);
    item->SaveInfo();

    ASSERT_TRUE(item->MoveToLocalFolder(local));
    EXPECT_EQ(item->GetLogFile(), local + QStringLiteral("700.dat"));
    EXPECT_TRUE(item->LogExists());
    EXPECT_TRUE(QFile::exists(local + QStringLiteral("700.txt")));
    EXPECT_FALSE(QFile::exists(news + QStringLiteral("700.dat")));
    EXPECT_FALSE(item->KAKOLOG);
    EXPECT_TRUE(item->LOCALLOG);
    const TIniFile moved(local + QStringLiteral("700.inf"));
    EXPECT_EQ(moved.ReadString(QStringLiteral("ORG"), QStringLiteral("SITEID")), QStringLiteral("test"));
    EXPECT_EQ(moved.ReadString(QStringLiteral("ORG"), QStringLiteral("BOARDID")), QStringLiteral("news"));
    EXPECT_EQ(moved.ReadInteger(QStringLiteral("LOG"), QStringLiteral("READ")), 4);

    // A second move keeps the first place, and a fresh item of the board still finds the log.
    ASSERT_TRUE(item->MoveToLocalFolder(second));
    EXPECT_EQ(TIniFile(second + QStringLiteral("700.inf")).ReadString(QStringLiteral("ORG"), QStringLiteral("BOARDID")),
              QStringLiteral("news"));
    ItemRef fresh(env.NewItem(QStringLiteral("700")));
    EXPECT_EQ(fresh->GetLogFile(), second + QStringLiteral("700.dat"));
    fresh->LoadInfo();
    EXPECT_TRUE(fresh->LOCALLOG);

    // A log of the same name in the folder is never overwritten.
    ItemRef other(env.NewItem(QStringLiteral("701")));
    Touch(other->GetLogFile(), "mine");
    Touch(local + QStringLiteral("701.dat"), "theirs");
    EXPECT_FALSE(other->MoveToLocalFolder(local));
    EXPECT_EQ(FileUtil::ReadFile(other->GetLogFile()), QByteArray("mine"));
    EXPECT_EQ(FileUtil::ReadFile(local + QStringLiteral("701.dat")), QByteArray("theirs"));
    EXPECT_FALSE(other->MoveToLocalFolder(news));   // already there
}

// A crash between the save of a log and that of its .inf leaves lines the .inf does not count.
TEST(ThreadItem, InfBehindItsLogIsRepairedFromTheStoredLines)
{
    const QList<QByteArray> lines{"a<>b<>c<>d<>t", "e<>f<>g<>h<>", "long line<>m<>d<>body<>"};
    auto *item = new TThreadItem;

    // The server ends its lines with LF: two counted lines make 13+1 + 12+1 bytes.
    item->COUNT = 2;
    item->SIZE = 27;
    item->LAST_MODIFIED = QStringLiteral("Mon, 07 Dec 2026 01:00:00 GMT");
    EXPECT_TRUE(item->RepairInfoFromLog(lines, true));
    EXPECT_EQ(item->COUNT, 3);
    EXPECT_EQ(item->SIZE, 27 + 23 + 1);
    EXPECT_FALSE(item->LAST_MODIFIED.isEmpty());
    EXPECT_FALSE(item->RepairInfoFromLog(lines, true));   // consistent now

    // A server that ends its lines with CR LF counts two bytes a line.
    item->COUNT = 1;
    item->SIZE = 15;
    EXPECT_TRUE(item->RepairInfoFromLog(lines, true));
    EXPECT_EQ(item->SIZE, 15 + 14 + 25);

    // Only the count was behind: SIZE already covers every line.
    item->COUNT = 0;
    item->SIZE = 13 + 12 + 23 + 3;
    EXPECT_TRUE(item->RepairInfoFromLog(lines, true));
    EXPECT_EQ(item->SIZE, 51);
    EXPECT_EQ(item->COUNT, 3);

    // Unknown line ends, another code than the stored one, or fewer lines than counted: the next
    // fetch reads the whole file.
    for (const auto &[count, size, serverBytes] : {std::tuple{2, 40, true}, {2, 27, false}, {5, 80, true}}) {
        item->COUNT = count;
        item->SIZE = size;
        item->ETAG = QStringLiteral("\"x\"");
        EXPECT_TRUE(item->RepairInfoFromLog(lines, serverBytes));
        EXPECT_EQ(item->SIZE, 0) << count << " " << size;
        EXPECT_TRUE(item->ETAG.isEmpty());
        EXPECT_EQ(item->COUNT, 3);
    }
    item->Release();
}

// An append cut short leaves a last line without its line break after the counted lines: it goes.
// A log whose unended last line the .inf counts, or a log without a count, keeps it.
TEST(ThreadItem, ATornAppendIsCutBackToTheLastWholeLine)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("200")));
    const QByteArray counted = "a<>b<>c<>d<>t\r\ne<>f<>g<>h<>\r\n";
    const QByteArray appended = "i<>j<>k<>l<>\r\n";
    for (const auto &[count, log, kept] : {std::tuple{2, counted + appended + "m<>n", counted + appended},
                                           {2, counted + "m<>", counted},
                                           {2, counted + appended, counted + appended},
                                           {3, counted + "m<>n", counted + "m<>n"},
                                           {0, counted + "m<>n", counted + "m<>n"}}) {
        FileUtil::WriteFileAtomic(item->GetLogFile(), log);
        item->COUNT = count;
        EXPECT_EQ(item->CutTornAppend(), kept != log) << count;
        EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), kept) << count;
    }
}

// Another item of a thread takes what the thread's item holds as it would read it from the .inf
// once saved, and without the file; an item that never read the .inf gives none of its bookmarks.
TEST(ThreadItem, AnotherItemTakesTheFieldsTheInfWouldGiveIt)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("300"), QStringLiteral("題")));
    auto *bookmark = new TBookmarkRes;
    bookmark->ResNo = 5;
    bookmark->Body = QStringLiteral("栞の本文");
    item->Bookmarks.Add(bookmark);
    ASSERT_TRUE(item->SaveInfo());
    item->LoadInfo();   // as the tab's item of an open thread has
    item->COUNT = 12;
    item->READ = 12;
    item->READPOINT = 4;
    item->COMMENT = QStringLiteral("一行目\r\n二行目");
    item->LAST_MODIFIED = QStringLiteral("Tue, 02 Jan 2024 03:04:05 GMT");
    item->SIZE = 1234;

    ItemRef taken(env.NewItem(QStringLiteral("300")));
    taken->TakeInfoOf(*item.get());
    ASSERT_TRUE(item->SaveInfo());
    ItemRef loaded(env.NewItem(QStringLiteral("300")));
    loaded->LoadInfo();
    TIniFile fromTaken;
    taken->WriteInfo(fromTaken);
    TIniFile fromLoaded;
    loaded->WriteInfo(fromLoaded);
    EXPECT_EQ(fromTaken.Text(), fromLoaded.Text());
    EXPECT_EQ(taken->COUNT, 12);
    ASSERT_EQ(taken->Bookmarks.Count(), 1);
    EXPECT_EQ(taken->Bookmarks.Get(0)->Body, QStringLiteral("栞の本文"));

    // A new item of the thread knows no bookmarks: the other reads them from the .inf instead.
    ItemRef fresh(env.NewItem(QStringLiteral("300")));
    ItemRef other(env.NewItem(QStringLiteral("300")));
    other->TakeInfoOf(*fresh.get());
    ASSERT_EQ(other->Bookmarks.Count(), 1);
    EXPECT_EQ(other->COUNT, 12);
}
