// The log search: its terms, the test of one log, the walk over log folders (subject.txt, no
// thread twice), stopping it, and the search command of the main window with its result tab.

#include "WindowTestEnv.h"

#include "commands/LogSearchCommands.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/LogSearch.h"
#include "tools/FindWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using namespace LogSearch;

namespace {

// A board's log folder under a temporary root.
class TLogFolder {
public:
    TLogFolder() : dir(root.Path() + QStringLiteral("log/")) { QDir().mkpath(dir); }

    // A stored thread: its log lines (name<>mail<>date<>body<>title) and, when given, its .inf title.
    void AddLog(const QString &key, const QStringList &bodies, const QString &infTitle = QString()) const
    {
        QString log;
        for (int i = 0; i < bodies.size(); ++i)
            log += QStringLiteral("名無し<>sage<>2024/05/01<>%1<>%2\r\n").arg(bodies[i], i == 0 ? QStringLiteral("ログの題") : QString());
        FileUtil::WriteFileAtomic(dir + key + QStringLiteral(".dat"), jconvert::UnicodeToSjis(log));
        if (!infTitle.isEmpty())
            FileUtil::WriteFileAtomic(dir + key + QStringLiteral(".inf"),
                                      jconvert::UnicodeToSjis(QStringLiteral("[LOG]\r\nTITLE=%1\r\n").arg(infTitle)));
    }
    void WriteSubject(const QStringList &lines) const
    {
        FileUtil::WriteFileAtomic(dir + QStringLiteral("subject.txt"), jconvert::UnicodeToSjis(lines.join(QStringLiteral("\r\n"))));
    }

    TempDataRoot root;
    QString dir;
};

QStringList Names(const QList<THit> &hits)
{
    QStringList names;
    for (const THit &hit : hits)
        names << hit.DatName;
    return names;
}

}  // namespace

TEST(LogSearch, TermsSplitAtCommasAndBlanksAndQuotesGroupThem)
{
    EXPECT_EQ(SplitTerms(QStringLiteral("猫,犬 鳥")), (QStringList{QStringLiteral("猫"), QStringLiteral("犬"), QStringLiteral("鳥")}));
    EXPECT_EQ(SplitTerms(QStringLiteral("\"red cat\", dog")), (QStringList{QStringLiteral("red cat"), QStringLiteral("dog")}));
    EXPECT_EQ(SplitTerms(QStringLiteral("猫　犬")), (QStringList{QStringLiteral("猫"), QStringLiteral("犬")}));
    EXPECT_EQ(SplitTerms(QStringLiteral(" , ,")), QStringList());
    EXPECT_TRUE(SplitTerms(QString()).isEmpty());
}

TEST(LogSearch, EveryTermMustStandInTheLogWhateverItsCase)
{
    const auto found = [](const QStringList &terms, const QString &text) {
        return TTermSet(terms).FoundInSjis(jconvert::UnicodeToSjis(text));
    };
    EXPECT_TRUE(found({QStringLiteral("cat"), QStringLiteral("犬")}, QStringLiteral("A CAT and a 犬")));
    EXPECT_FALSE(found({QStringLiteral("cat"), QStringLiteral("鳥")}, QStringLiteral("A CAT and a 犬")));
    EXPECT_TRUE(found({QStringLiteral("red cat")}, QStringLiteral("the Red Cat sat")));
    EXPECT_FALSE(found({QStringLiteral("red cat")}, QStringLiteral("red, cat")));
    // full-width letters have a case too; the byte scan must not lose them
    EXPECT_TRUE(found({QStringLiteral("ＡＢＣ")}, QStringLiteral("xｘａｂｃ")));
    // a Shift_JIS trail byte that looks like "A" (0x41) never stands for the letter
    EXPECT_FALSE(found({QStringLiteral("a")}, QStringLiteral("ア")));   // ア is 0x83 0x41
    // 猫 is 0x94 0x4C: its trail byte reads as "L", and the text is not lowered into missing it
    EXPECT_TRUE(found({QStringLiteral("猫")}, QStringLiteral("黒猫")));
    EXPECT_TRUE(found({}, QStringLiteral("anything")));
}

TEST(LogSearch, TitlesBodiesAndUnfetchedThreadsAreFoundOnceEach)
{
    TLogFolder folder;
    folder.AddLog(QStringLiteral("1000000001"), {QStringLiteral("今日は晴れ"), QStringLiteral("猫がいた")}, QStringLiteral("天気スレ"));
    folder.AddLog(QStringLiteral("1000000002"), {QStringLiteral("猫もいた")}, QStringLiteral("雑談スレ"));
    folder.AddLog(QStringLiteral("1000000003"), {QStringLiteral("何もない")});   // title from the log
    // subject.txt lists a logged thread again, and one thread twice
    folder.WriteSubject({QStringLiteral("1000000001.dat<>天気スレ (10)"), QStringLiteral("1000000009.dat<>天気の話 (3)"),
                         QStringLiteral("1000000009.dat<>天気の話 (3)"), QStringLiteral("1000000008.dat<>料理 (1)")});

    TQuery byLog;
    byLog.LogTerms = {QStringLiteral("猫")};
    byLog.Unfetched = true;   // logs only: unfetched threads cannot match
    EXPECT_EQ(Names(Search({{folder.dir, 0}}, byLog, {})),
              (QStringList{QStringLiteral("1000000001.dat"), QStringLiteral("1000000002.dat")}));

    TQuery both;
    both.TitleTerms = {QStringLiteral("天気")};
    both.LogTerms = {QStringLiteral("猫")};
    const QList<THit> hits = Search({{folder.dir, 0}}, both, {});
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].Title, QStringLiteral("天気スレ"));

    TQuery byTitle;
    byTitle.TitleTerms = {QStringLiteral("天気")};
    byTitle.Unfetched = true;
    // the same board chosen twice is searched once
    const QList<THit> titled = Search({{folder.dir, 0}, {folder.dir + QStringLiteral("./"), 1}}, byTitle, {});
    EXPECT_EQ(Names(titled), (QStringList{QStringLiteral("1000000001.dat"), QStringLiteral("1000000009.dat")}));
    EXPECT_FALSE(titled[1].Fetched);

    TQuery everything;
    EXPECT_EQ(Search({{folder.dir, 0}}, everything, {}).size(), 3);   // empty boxes impose nothing
    byTitle.TitleTerms = {QStringLiteral("ログの題")};
    EXPECT_EQ(Names(Search({{folder.dir, 0}}, byTitle, {})), QStringList{QStringLiteral("1000000003.dat")});
}

TEST(LogSearch, ACancelledSearchStopsAfterTheLogInHand)
{
    TLogFolder folder;
    for (int i = 0; i < 40; ++i)
        folder.AddLog(QString::number(1000000100 + i), {QStringLiteral("needle")});
    TQuery query;
    query.LogTerms = {QStringLiteral("needle")};

    TLogSearchWorker worker({{folder.dir, 0}}, query);
    bool finished = false;
    bool cancelled = false;
    qsizetype found = -1;
    QObject::connect(&worker, &TLogSearchWorker::Finished, [&](const QList<THit> &hits, bool wasCancelled) {
        finished = true;
        cancelled = wasCancelled;
        found = hits.size();
    });
    worker.Cancel();
    worker.Start();
    ASSERT_TRUE(TWindowEnv::WaitUntil([&finished] { return finished; }));
    EXPECT_TRUE(cancelled);
    EXPECT_LE(found, 1);
}

// ---- the command ----

namespace {

TBoard *NewsBoard()
{
    TSite *site = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    return site ? site->Boards->FindByID(QStringLiteral("news")) : nullptr;
}

void WriteThread(TBoard *board, const QString &key, const QString &body)
{
    const QString line = QStringLiteral("名無し<>sage<>2024/05/01<>%1<>題%2\r\n").arg(body, key);
    QDir().mkpath(board->GetLogDir());
    FileUtil::WriteFileAtomic(board->GetLogDir() + key + QStringLiteral(".dat"), jconvert::UnicodeToSjis(line));
}

void WriteBbsTxt(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
}

// Runs the command with the dialog answered by fill; waits until the search ends.
QString RunFindLog(TWindowEnv &env, const std::function<void(TFindWindow &)> &fill)
{
    QString dialogClass;
    Dialogs::TScopedDialogHandlers handlers(
        [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            env.Messages << text;
            return Dialogs::mrOK;
        },
        [&](QDialog &dialog) {
            dialogClass = QString::fromLatin1(dialog.metaObject()->className());
            auto *find = qobject_cast<TFindWindow *>(&dialog);
            if (!find)
                return int(QDialog::Rejected);
            fill(*find);
            find->BitBtn1->click();
            return find->result();
        });
    auto *commands = env.Window->findChild<TLogSearchCommands *>();
    bool done = false;
    QObject::connect(commands, &TLogSearchCommands::SearchDone, [&done] { done = true; });
    env.Window->Action(QStringLiteral("actFindLog"))->trigger();
    EXPECT_TRUE(TWindowEnv::WaitUntil([&done, commands] { return done || !commands->Running(); }));
    return dialogClass;
}

}  // namespace

TEST(LogSearch, TheCommandListsTheHitsInAResultTabAndLogsTheCount)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    TBoard *board = NewsBoard();
    ASSERT_NE(board, nullptr);
    WriteThread(board, QStringLiteral("1000000001"), QStringLiteral("red cat"));
    WriteThread(board, QStringLiteral("1000000002"), QStringLiteral("blue dog"));
    WriteThread(board, QStringLiteral("1000000003"), QStringLiteral("Red CAT again"));

    board->Name = QStringLiteral("ニュース速報＋（長い名前の板）");
    const QString dialogClass = RunFindLog(env, [](TFindWindow &find) {
        find.FillBoardList();
        // Board names are read whole.
        const QFontMetrics metrics(find.ListView1->font());
        EXPECT_GE(find.ListView1->columnWidth(0), metrics.horizontalAdvance(NewsBoard()->Name));
        find.SetCurrentBoard(NewsBoard());
        EXPECT_TRUE(find.Radio0->isChecked());
        find.ComboBox2->setCurrentText(QStringLiteral("\"red cat\""));
    });
    EXPECT_EQ(dialogClass, QStringLiteral("TFindWindow"));   // the real dialog
    TTavuListDoc *doc = env.Window->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Caption, QStringLiteral("ログ検索結果"));
    ASSERT_EQ(doc->Items()->Count(), 2);
    EXPECT_EQ(doc->Items()->Get(0)->GetKey(), QStringLiteral("1000000001"));
    EXPECT_EQ(doc->Items()->Get(1)->TITLE, QStringLiteral("題1000000003"));
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("検索結果 = 2件")));
    EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("findlog.txt"))));
    EXPECT_FALSE(QFile::exists(env.Profile(QStringLiteral("findtext.txt"))));   // the title box was empty

    const qsizetype tabs = env.Window->Tabs().ListDocs().size();
    RunFindLog(env, [](TFindWindow &find) {
        find.FillBoardList();
        find.SetCurrentBoard(nullptr);
        EXPECT_TRUE(find.Radio1->isChecked());
        find.SelectAll(true);
        find.ComboBox2->setCurrentText(QStringLiteral("どこにもない"));
    });
    EXPECT_EQ(env.Window->Tabs().ListDocs().size(), tabs);
    EXPECT_TRUE(env.Messages.contains(QStringLiteral("見つかりませんでした。")));
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("検索結果 = 0件")));
}

TEST(LogSearch, AThreadWithoutALogIsNeverFoundByLogText)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    TBoard *board = NewsBoard();
    ASSERT_NE(board, nullptr);
    WriteThread(board, QStringLiteral("1000000001"), QStringLiteral("7 cats"));
    // The listing knows a thread never fetched; its counts file names that thread's key.
    FileUtil::WriteFileAtomic(board->GetLogDir() + QStringLiteral("subject.txt"),
                              "1000000001.dat<>cats (1)\n1000000100.dat<>unfetched (7)\n");
    FileUtil::WriteFileAtomic(board->GetLogDir() + QStringLiteral("subject.dat"), "1000000001=1\r\n1000000100=7\r\n");

    RunFindLog(env, [](TFindWindow &find) {
        find.SetCurrentBoard(NewsBoard());
        EXPECT_TRUE(find.CheckBox1->isChecked());   // titles of unfetched threads too
        find.ComboBox2->setCurrentText(QStringLiteral("0100"));
    });
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("検索結果 = 0件")));
    EXPECT_TRUE(env.Messages.contains(QStringLiteral("見つかりませんでした。")));

    RunFindLog(env, [](TFindWindow &find) {
        find.SetCurrentBoard(NewsBoard());
        find.ComboBox2->setCurrentText(QStringLiteral("7"));
    });
    TTavuListDoc *doc = env.Window->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->Items()->Count(), 1);
    EXPECT_EQ(doc->Items()->Get(0)->TITLE, QStringLiteral("題1000000001"));
}
