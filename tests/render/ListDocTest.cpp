// The thread-list document: the stored listing (subject.txt, subject.dat), new threads, the .inf
// of logged threads, erased threads and the display count.
#include "core/ThreadTestEnv.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TavuActionList.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

namespace {

struct ListDocEnv : ThreadTestEnv {
    ListDocEnv()
    {
        doc.Site = site;
        doc.BoardID = QStringLiteral("news");
    }

    QString LogFile(const QString &name) const { return news->GetLogDir() + name; }
    void Write(const QString &name, const QString &text) const
    {
        FileUtil::WriteFileAtomic(LogFile(name), jconvert::UnicodeToSjis(text));
    }
    QString Read(const QString &name) const { return jconvert::SjisToUnicode(FileUtil::ReadFile(LogFile(name))); }

    // A thread of the listing, as the download reports it.
    TThreadItem *List(const QString &key, int count)
    {
        ItemRef item(NewItem(key, QStringLiteral("スレ") + key));
        item->AGECOUNT = count;
        doc.AddItem(item.get());
        return item.get();
    }

    TTavuListDoc doc;
};

// The listing as a list of items alone: every subject line one item, every item prepared one by
// one from the end, an erased one taken out where it stands.
std::unique_ptr<TTavuListDoc> ItemByItem(const ListDocEnv &env, const QString &subject, TTavuActionList *rules)
{
    auto doc = std::make_unique<TTavuListDoc>();
    doc->Site = env.site;
    doc->BoardID = QStringLiteral("news");
    doc->ThreadRules = rules;
    doc->LoadSubjectDat();
    doc->LoadInfFileList();
    for (const QString &line : subject.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        TSubjectLine parsed;
        if (!ParseSubjectLine(line, parsed))
            continue;
        ItemRef item(env.NewItem(parsed.DatName, parsed.Title));
        item->AGECOUNT = parsed.Count;
        item->Number = doc->ArrivalItems()->Count() + 1;
        doc->AddItem(item.get());
    }
    for (int i = doc->Items()->Count() - 1; i >= 0; --i)
        doc->UpdateList(doc->Items()->Get(i), true);
    return doc;
}

void ExpectSameThreads(const TThreadItemList &mine, const TThreadItemList &reference)
{
    ASSERT_EQ(mine.Count(), reference.Count());
    for (int i = 0; i < mine.Count(); ++i) {
        const TThreadItem *a = mine.Get(i);
        const TThreadItem *b = reference.Get(i);
        EXPECT_EQ(a->DatName, b->DatName) << i;
        EXPECT_EQ(a->TITLE, b->TITLE) << i;
        EXPECT_EQ(a->GetLogFile(), b->GetLogFile()) << i;
        EXPECT_EQ(a->BBS, b->BBS) << i;
        EXPECT_EQ(a->Number, b->Number) << i;
        EXPECT_EQ(QList<int>({a->AGECOUNT, a->COUNT, a->READ}), QList<int>({b->AGECOUNT, b->COUNT, b->READ})) << i;
        EXPECT_EQ(QList<bool>({a->IsNew, a->ABONE}), QList<bool>({b->IsNew, b->ABONE})) << i;
    }
}

}  // namespace

TEST(ListDocTest, StoredListingRoundTripsAndSkipsHostileLines)
{
    ListDocEnv env;
    const QString listing = QStringLiteral("1111111111.dat<>日本語のスレ (12)\r\n"
                                           "2222222222.dat<>&#134071;と＠ (3)\r\n");
    env.Write(QStringLiteral("subject.txt"), listing + QStringLiteral("../../evil.dat<>悪い (1)\r\n"
                                                                      "区切りのない行\r\n"));
    ASSERT_TRUE(env.doc.LoadSubjectTxt());
    ASSERT_EQ(env.doc.Items()->Count(), 2);
    EXPECT_EQ(env.doc.Items()->Get(0)->TITLE, QStringLiteral("日本語のスレ"));
    EXPECT_EQ(env.doc.Items()->Get(0)->AGECOUNT, 12);
    EXPECT_EQ(env.doc.Items()->Get(1)->Number, 2);

    env.doc.SaveSubjectTxt();
    EXPECT_EQ(env.Read(QStringLiteral("subject.txt")), listing);
    env.doc.Items()->Get(1)->TITLE = QStringLiteral("二行\r\nの題");   // a title must not split its line
    env.doc.SaveSubjectTxt();
    EXPECT_TRUE(env.Read(QStringLiteral("subject.txt")).endsWith(QStringLiteral("2222222222.dat<>二行  の題 (3)\r\n")));
    env.doc.SaveSubjectDat();
    EXPECT_EQ(env.Read(QStringLiteral("subject.dat")), QStringLiteral("1111111111=12\r\n2222222222=3\r\n"));

    TTavuListDoc gone;
    EXPECT_FALSE(gone.LoadSubjectTxt());
}

TEST(ListDocTest, ThreadsMissingFromThePreviousListingAreNew)
{
    ListDocEnv env;
    TThreadItem *first = env.List(QStringLiteral("1111111111"), 5);
    TThreadItem *second = env.List(QStringLiteral("2222222222"), 1);

    EXPECT_FALSE(env.doc.LoadSubjectDat());   // a first listing marks nothing new
    env.doc.UpdateList(first, false);
    env.doc.UpdateList(second, false);
    EXPECT_EQ(env.doc.CountNewThreads(), 0);

    env.Write(QStringLiteral("subject.dat"), QStringLiteral("1111111111=4\r\n"));
    ASSERT_TRUE(env.doc.LoadSubjectDat());
    env.doc.UpdateList(first, false);
    env.doc.UpdateList(second, false);
    EXPECT_FALSE(first->IsNew);
    EXPECT_TRUE(second->IsNew);
    EXPECT_EQ(env.doc.CountNewThreads(), 1);
}

TEST(ListDocTest, LoggedThreadsReadTheirInfAndErasedOnesLeave)
{
    ListDocEnv env;
    TTavuActionList rules;
    EraseTitlesWith(rules, QStringLiteral("スレ3"));
    env.doc.ThreadRules = &rules;

    env.Write(QStringLiteral("1111111111.inf"), QStringLiteral("[LOG]\r\nCOUNT=40\r\nREAD=40\r\nAGECOUNT=40\r\n"));
    env.Write(QStringLiteral("2222222222.inf"), QStringLiteral("[LOG]\r\nABONE=1\r\n"));
    TThreadItem *read = env.List(QStringLiteral("1111111111"), 45);
    TThreadItem *erased = env.List(QStringLiteral("2222222222"), 9);
    TThreadItem *ruled = env.List(QStringLiteral("3333333333"), 9);
    env.List(QStringLiteral("4444444444"), 9);
    env.doc.LoadInfFileList();

    EXPECT_TRUE(env.doc.UpdateList(read, true));
    EXPECT_EQ(read->READ, 40);
    EXPECT_EQ(read->AGECOUNT, 45);   // the listing's count wins over the stored one
    EXPECT_FALSE(env.doc.UpdateList(erased, false));
    EXPECT_EQ(env.doc.Items()->Count(), 4);
    EXPECT_FALSE(env.doc.UpdateList(ruled, true));
    EXPECT_FALSE(env.doc.UpdateList(erased, true));
    ASSERT_EQ(env.doc.Items()->Count(), 2);
    EXPECT_EQ(env.doc.Items()->Get(1)->GetKey(), QStringLiteral("4444444444"));
    EXPECT_EQ(env.doc.ArrivalItems()->Count(), 4);   // the listing itself keeps every thread
    EXPECT_FALSE(ruled->ABONE);                        // a rule never marks the stored thread
}

TEST(ListDocTest, StoredListingPreparesOnlyTheFirstPageAndClampsTheDisplay)
{
    ListDocEnv env;
    env.Write(QStringLiteral("1111111111.inf"), QStringLiteral("[LOG]\r\nREAD=7\r\n"));
    env.Write(QStringLiteral("2222222222.inf"), QStringLiteral("[LOG]\r\nREAD=8\r\n"));
    env.Write(QStringLiteral("subject.txt"), QStringLiteral("1111111111.dat<>一 (10)\r\n2222222222.dat<>二 (10)\r\n"
                                                            "3333333333.dat<>三 (10)\r\n"));
    env.doc.ItemLimit = 1;
    env.doc.LoadInfFileList();
    ASSERT_TRUE(env.doc.LoadSubjectTxt());
    EXPECT_EQ(env.doc.Items()->Get(0)->READ, 7);
    EXPECT_EQ(env.doc.Items()->Get(1)->READ, 0);

    env.doc.SetDisplayCount(100);
    EXPECT_EQ(env.doc.DisplayCount(), 3);
    env.doc.SetDisplayCount(-1);
    EXPECT_EQ(env.doc.DisplayCount(), 0);
    env.doc.SetLocked(true);
    EXPECT_TRUE(env.doc.IsLocked());
}

TEST(ListDocTest, AStoredListingDropsItsErasedThreadsInOrderAndKeepsTheRest)
{
    ListDocEnv env;
    TTavuActionList rules;
    EraseTitlesWith(rules, QStringLiteral("消"));
    env.doc.ThreadRules = &rules;
    QString subject;
    for (int i = 1; i <= 200; ++i)
        subject += QStringLiteral("%1.dat<>%2%3 (5)\r\n").arg(1000000000 + i).arg(i % 2 ? QStringLiteral("消") : QStringLiteral("残")).arg(i);
    env.Write(QStringLiteral("subject.txt"), subject);
    env.doc.LoadInfFileList();
    ASSERT_TRUE(env.doc.LoadSubjectTxt());
    env.doc.SetDisplayCount(1000);

    ASSERT_EQ(env.doc.Items()->Count(), 100);
    EXPECT_EQ(env.doc.DisplayCount(), 100);
    EXPECT_EQ(env.doc.ArrivalItems()->Count(), 200);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(env.doc.Items()->Get(i)->TITLE, QStringLiteral("残%1").arg(2 * i + 2));
    EXPECT_EQ(env.doc.Items()->IndexOf(env.doc.ArrivalItems()->Get(1)), 0);
    EXPECT_EQ(env.doc.Items()->IndexOf(env.doc.ArrivalItems()->Get(0)), -1);
}

// A long stored listing, its first page prepared as it loads and the rest when all is shown, gives the
// same rows, counts, marks and order as the same listing made item by item, and stores the same files.
TEST(ListDocTest, ALongListingShowsAndStoresWhatTheSameListingMadeItemByItemDoes)
{
    ListDocEnv env;
    TTavuActionList rules;
    EraseTitlesWith(rules, QStringLiteral("消"));
    QString subject;
    QString previous;
    for (int i = 1; i <= 300; ++i) {
        const QString key = i % 13 == 0 ? QStringLiteral("0%1").arg(i) : i % 17 == 0 ? QStringLiteral("abc%1").arg(i)
                                                                                     : QString::number(1000000000 + i);
        subject += QStringLiteral("%1.dat<>%2スレ&amp;%3 (%4)\r\n").arg(key, i % 7 == 0 ? QStringLiteral("消") : QString()).arg(i).arg(i * 3);
        if (i % 3 != 0)
            previous += key + QStringLiteral("=1\r\n");
        if (i % 11 == 0)
            env.Write(key + QStringLiteral(".inf"), QStringLiteral("[LOG]\r\nABONE=1\r\n"));
        else if (i % 5 == 0)
            env.Write(key + QStringLiteral(".inf"), QStringLiteral("[LOG]\r\nCOUNT=%1\r\nREAD=%1\r\n").arg(i));
        if (i == 150)
            subject += QStringLiteral("../../evil.dat<>悪い (1)\r\n");
    }
    env.Write(QStringLiteral("subject.txt"), subject);
    env.Write(QStringLiteral("subject.dat"), previous);
    const auto reference = ItemByItem(env, subject, &rules);

    env.doc.ThreadRules = &rules;
    env.doc.ItemLimit = 10;
    env.doc.LoadSubjectDat();
    env.doc.LoadInfFileList();
    ASSERT_TRUE(env.doc.LoadSubjectTxt());
    EXPECT_EQ(env.doc.Items()->Peek(200), nullptr);   // kept as a row until it is asked for
    for (const QString &name : {QStringLiteral("subject.txt"), QStringLiteral("subject.dat")}) {
        reference->SaveSubjectTxt();
        reference->SaveSubjectDat();
        const QByteArray stored = FileUtil::ReadFile(env.LogFile(name));
        env.doc.SaveSubjectTxt();
        env.doc.SaveSubjectDat();
        EXPECT_EQ(FileUtil::ReadFile(env.LogFile(name)), stored) << name.toStdString();
    }

    env.doc.SetDisplayCount(10);
    env.doc.PrepareRows(env.doc.DisplayCount(), env.doc.Items()->Count());
    ExpectSameThreads(*env.doc.Items(), *reference->Items());
    EXPECT_EQ(env.doc.CountNewThreads(), reference->CountNewThreads());
    EXPECT_EQ(env.doc.DisplayCount(), 10);
    ExpectSameThreads(*env.doc.ArrivalItems(), *reference->ArrivalItems());

    env.doc.Items()->Sort(TThreadItemList::SortTitle, false);
    reference->Items()->Sort(TThreadItemList::SortTitle, false);
    ExpectSameThreads(*env.doc.Items(), *reference->Items());
}

// Threads that a download reports past the first page come back as it reported them; a thread
// that holds more than its row would keep (or is held elsewhere) stays the very item reported.
TEST(ListDocTest, ThreadsArrivingPastTheFirstPageComeBackAsTheyWereReported)
{
    ListDocEnv env;
    env.doc.ItemLimit = 2;
    const ItemRef held(env.NewItem(QStringLiteral("1000000005"), QStringLiteral("保持")));
    TThreadItemList elsewhere;   // another list holds it too
    elsewhere.Add(held.get());
    QString expected;
    for (int i = 0; i < 6; ++i) {
        const QString key = QString::number(1000000000 + i);
        if (i == 5) {
            held->AGECOUNT = 5;
            env.doc.AddListed(held.get());
        } else {
            ItemRef item(env.NewItem(key, QStringLiteral("スレ%1").arg(i)));
            item->AGECOUNT = i;
            if (i == 4)
                item->SetKakolog(true);
            env.doc.AddListed(item.get());
        }
        expected += QStringLiteral("%1.dat<>%2 (%3)\r\n").arg(key, i == 5 ? QStringLiteral("保持") : QStringLiteral("スレ%1").arg(i)).arg(i);
    }
    const TThreadItemList *items = env.doc.Items();
    ASSERT_EQ(items->Count(), 6);
    EXPECT_NE(items->Peek(2), nullptr);   // the ones prepared as they arrive stay items
    EXPECT_EQ(items->Peek(3), nullptr);
    EXPECT_NE(items->Peek(4), nullptr);
    EXPECT_EQ(items->Peek(5), held.get());

    env.doc.SaveSubjectTxt();
    EXPECT_EQ(env.Read(QStringLiteral("subject.txt")), expected);
    const TThreadItem *back = items->Get(3);
    const ItemRef plain(env.NewItem(QStringLiteral("1000000003"), QStringLiteral("スレ3")));
    EXPECT_EQ(back->DatName, plain->DatName);
    EXPECT_EQ(back->TITLE, plain->TITLE);
    EXPECT_EQ(back->GetLogFile(), plain->GetLogFile());
    EXPECT_EQ(back->AGECOUNT, 3);
    EXPECT_EQ(back->Number, 4);
    EXPECT_EQ(env.doc.ArrivalItems()->Get(3), back);
    EXPECT_TRUE(items->Get(4)->KAKOLOG);
    EXPECT_EQ(held->Number, 6);
}
