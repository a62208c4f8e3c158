#include "core/ThreadTestEnv.h"

#include "core/Site.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// Five items A..E, listed in that order with the listing numbers 1..5.
class Listing {
public:
    Listing()
    {
        for (int i = 0; i < 5; ++i) {
            auto *item = new TThreadItem;
            item->Number = i + 1;
            item->DatName = QStringLiteral("%1.dat").arg(i + 1);
            item->TITLE = QString(QChar(u'A' + i));   // the letter names the item
            list.Add(item);
            item->Release();   // the list holds the only reference
        }
    }

    TThreadItem *operator[](char letter) const { return list.Get(letter - 'A'); }

    // The letters of the items in list order.
    QString Order() const
    {
        QString letters;
        for (int i = 0; i < list.Count(); ++i)
            letters += letterOf.value(list.Get(i));
        return letters;
    }

    void RememberLetters()
    {
        for (int i = 0; i < list.Count(); ++i)
            letterOf[list.Get(i)] = QChar(u'A' + i);
    }

    TThreadItemList list;

private:
    QHash<const TThreadItem *, QChar> letterOf;
};

struct SortCase {
    int key;
    std::function<void(Listing &)> setUp;
    const char *ascending;   // the order Sort(key, true) gives
    const char *descending;  // the order Sort(key, false) gives
};

void SetTexts(Listing &l, QString TThreadItem::*field, const QStringList &texts)
{
    for (int i = 0; i < 5; ++i)
        l[char('A' + i)]->*field = texts[i];
}

void SetNumbers(Listing &l, int TThreadItem::*field, const QList<int> &values)
{
    for (int i = 0; i < 5; ++i)
        l[char('A' + i)]->*field = values[i];
}

}  // namespace

TEST(ThreadItemList, EverySortKeyInBothDirections)
{
    TSite alpha(QStringLiteral("a"), TSite::KIND_NORMAL, nullptr);
    TSite beta(QStringLiteral("b"), TSite::KIND_NORMAL, nullptr);
    alpha.NAME = QStringLiteral("alpha");
    beta.NAME = QStringLiteral("beta");

    const QList<SortCase> cases = {
        {1, [](Listing &l) { SetNumbers(l, &TThreadItem::Number, {3, 1, 4, 2, 5}); }, "BDACE", "ECADB"},
        {2,
         [](Listing &l) {
             l['A']->IsNew = true;
             l['A']->KAKOLOG = true;   // new wins over past log
             l['B']->Updated = true;
             l['C']->KAKOLOG = true;
             l['D']->READ = 1;
         },
         "ABDCE", "ECDBA"},
        {3, [](Listing &l) { SetNumbers(l, &TThreadItem::READ, {0, 2, 0, 1, 0}); }, "BDACE", "ECADB"},
        {4, [](Listing &l) { SetTexts(l, &TThreadItem::TITLE, {"beta", "Alpha", "gamma", "alpha", "Beta"}); },
         "BDAEC", "CAEBD"},
        {5, [](Listing &l) { SetNumbers(l, &TThreadItem::AGECOUNT, {10, 5, 20, 5, 1}); }, "EBDAC", "CABDE"},
        {6,
         [](Listing &l) {
             l['A']->NewCount = 3;
             l['B']->READ = 2;
             l['B']->AGECOUNT = 10;   // 8 not read
             l['C']->READ = 2;
             l['C']->AGECOUNT = 10;
             l['C']->KAKOLOG = true;  // a past log counts nothing
             l['D']->NewCount = 0;
             l['E']->NewCount = 1;
         },
         "BAECD", "CDEAB"},
        {7, [](Listing &l) { SetNumbers(l, &TThreadItem::READ, {3, 1, 2, 0, 5}); }, "DBCAE", "EACBD"},
        {8, [](Listing &l) { SetNumbers(l, &TThreadItem::PRIORITY, {5, 9, 5, 0, 1}); }, "BACED", "DEACB"},
        {9, [](Listing &l) { SetTexts(l, &TThreadItem::LAST_LOAD, {"2024/01/02", "", "2023/12/31", "", "2024/01/01"}); },
         "CEABD", "AECBD"},
        {10, [](Listing &l) { SetTexts(l, &TThreadItem::LAST_SENT, {"", "2020/05/05", "", "2021/01/01", "2019/09/09"}); },
         "EBDAC", "DBEAC"},
        {11, [](Listing &l) { SetTexts(l, &TThreadItem::COMMENT, {"b", "a", "", "c", "A"}); }, "CBEAD", "DABEC"},
        {12, [](Listing &l) { SetTexts(l, &TThreadItem::BoardID, {"news", "bsd", "News", "art", "zz"}); },
         "DBACE", "EACBD"},
        {13,
         [&](Listing &l) {
             SetTexts(l, &TThreadItem::BoardID, {"x", "z", "a", "m", "a"});
             l['A']->Site = &beta;
             l['B']->Site = &alpha;
             l['C']->Site = &alpha;
             l['E']->Site = &beta;
         },
         "CBEAD", "DAEBC"},
        {14, [](Listing &l) { SetNumbers(l, &TThreadItem::READPOINT, {0, 5, 0, 1, 0}); }, "BDACE", "ECADB"},
        {15, [](Listing &l) { SetNumbers(l, &TThreadItem::READPOINT, {0, 5, 0, 1, 0}); }, "ACEDB", "BDACE"},
        {16, [](Listing &l) { SetTexts(l, &TThreadItem::DatName, {"200.dat", "30.dat", "abc.dat", "1000.dat", "30.dat"}); },
         "BEADC", "CDABE"},
        {17, [](Listing &l) { SetTexts(l, &TThreadItem::SINCE, {"2005", "2001", "2003", "2002", "2004"}); },
         "BDCEA", "AECDB"},
        {18, [](Listing &l) { SetTexts(l, &TThreadItem::THREADNO, {"e", "b", "d", "a", "c"}); }, "DBECA", "ACEBD"},
        {0, [](Listing &) {}, "ABCDE", "ABCDE"},
        {19, [](Listing &) {}, "ABCDE", "ABCDE"},
    };

    for (const SortCase &c : cases) {
        for (bool ascending : {true, false}) {
            Listing listing;
            listing.RememberLetters();
            c.setUp(listing);
            listing.list.Sort(c.key, ascending);
            EXPECT_EQ(listing.Order(), QString::fromLatin1(ascending ? c.ascending : c.descending))
                << "key " << c.key << (ascending ? " ascending" : " descending");
        }
    }
}

TEST(ThreadItemList, ReferencesFollowTheList)
{
    auto *item = new TThreadItem;
    int releases = 0;
    item->OnRelease = [&](TThreadItem *) { ++releases; };
    {
        TThreadItemList first;
        TThreadItemList second;
        first.Add(item);
        second.Add(item);
        EXPECT_EQ(item->RefCount(), 3);
        item->IsNew = true;
        EXPECT_EQ(first.CountMarked(), 1);

        TThreadItem *detached = first.Detach(0);
        EXPECT_EQ(first.Count(), 0);
        EXPECT_EQ(item->RefCount(), 3);   // the caller holds what the list held
        detached->Release();
        second.Delete(0);
        EXPECT_EQ(item->RefCount(), 1);
        second.Add(item);
    }
    EXPECT_EQ(item->RefCount(), 1);   // destruction released the list's reference
    EXPECT_EQ(releases, 3);
    item->Release();
}

// Rows of a long listing: an item is made for a row only when the list hands it out, once, and the
// lists that share the rows hand out the same item; finding and deleting make none.
TEST(ThreadItemList, ListedRowsBecomeOneItemEachOnlyWhenHandedOut)
{
    ThreadTestEnv env;
    auto rows = std::make_shared<TListingRows>(QStringLiteral("test"), QStringLiteral("news"));
    TThreadItemList first;
    TThreadItemList second;
    for (int i = 0; i < 3; ++i) {
        const int row = rows->Add(2000000000 + i, QStringLiteral("スレ&amp;%1").arg(i), 10 + i, i + 1);
        first.AddRow(rows, row);
        second.AddRow(rows, row);
    }
    ASSERT_EQ(first.Count(), 3);
    EXPECT_EQ(first.IndexOfDatName(QStringLiteral("2000000002.DAT")), 2);
    EXPECT_EQ(first.IndexOfDatName(QStringLiteral("02000000002.dat")), -1);
    EXPECT_EQ(first.DatNameAt(0), QStringLiteral("2000000000.dat"));
    EXPECT_EQ(first.CountMarked(), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(first.Peek(i), nullptr);

    TThreadItem *made = first.Get(1);
    const ItemRef plain(env.NewItem(QStringLiteral("2000000001"), QStringLiteral("スレ&amp;1")));
    EXPECT_EQ(made->DatName, plain->DatName);
    EXPECT_EQ(made->TITLE, plain->TITLE);
    EXPECT_EQ(made->GetLogFile(), plain->GetLogFile());
    EXPECT_EQ(made->BBS, plain->BBS);
    EXPECT_EQ(made->AGECOUNT, 11);
    EXPECT_EQ(made->Number, 2);
    EXPECT_EQ(second.Peek(1), made);
    EXPECT_EQ(second.IndexOf(made), 1);
    EXPECT_EQ(second.Get(1), made);
    EXPECT_EQ(made->RefCount(), 3);   // the rows and each list
    made->IsNew = true;
    EXPECT_EQ(second.CountMarked(), 1);

    EXPECT_EQ(first.DeleteItems({made}), 1);
    EXPECT_EQ(first.Count(), 2);
    EXPECT_EQ(made->RefCount(), 2);
    EXPECT_EQ(first.Peek(1), nullptr);   // the row that followed, still not made

    TThreadItem *detached = second.Detach(0);
    EXPECT_EQ(detached->GetKey(), QStringLiteral("2000000000"));
    EXPECT_EQ(first.Get(0), detached);
    EXPECT_EQ(detached->RefCount(), 3);   // the rows, the caller, the first list
    detached->Release();

    first.Sort(TThreadItemList::SortNumber, false);
    EXPECT_EQ(first.Get(0)->Number, 3);
    EXPECT_EQ(first.Get(1), detached);
}

// Only a thread that holds nothing its row would not give back is taken as a row.
TEST(ThreadItemList, ListingRowsTakeOnlyBareThreadsOfTheirBoard)
{
    ThreadTestEnv env;
    const TListingRows rows(QStringLiteral("test"), QStringLiteral("news"));
    qint64 key = 0;
    const ItemRef bare(env.NewItem(QStringLiteral("1234567890"), QStringLiteral("題")));
    EXPECT_TRUE(rows.Takes(*bare.get(), key));
    EXPECT_EQ(key, 1234567890);

    const ItemRef marked(env.NewItem(QStringLiteral("1234567891")));
    marked->SetKakolog(true);
    const ItemRef counted(env.NewItem(QStringLiteral("1234567892")));
    counted->READ = 3;
    const ItemRef padded(env.NewItem(QStringLiteral("0123456789")));
    const ItemRef named(env.NewItem(QStringLiteral("abc")));
    const ItemRef held(env.NewItem(QStringLiteral("1234567893")));
    TThreadItemList elsewhere;
    elsewhere.Add(held.get());
    auto *local = new TThreadItem;
    local->SetLocation(QStringLiteral("test"), QStringLiteral("local1"), QStringLiteral("1234567894"), QString());
    const ItemRef other(local);
    for (const TThreadItem *item : {marked.get(), counted.get(), padded.get(), named.get(), held.get(), local})
        EXPECT_FALSE(rows.Takes(*item, key)) << item->DatName.toStdString();
}

// The indexes of a key follow the list through every change: rows and items, numbers and keys that
// are not numbers, a sort, a move, an insertion and deletions. No row's item is made to find them.
TEST(ThreadItemList, TheIndexesOfAKeyFollowEveryChangeOfTheList)
{
    ThreadTestEnv env;
    auto rows = std::make_shared<TListingRows>(QStringLiteral("test"), QStringLiteral("news"));
    TThreadItemList list;
    for (int i = 0; i < 4; ++i)
        list.AddRow(rows, rows->Add(3000000000 + i, QStringLiteral("スレ%1").arg(i), 10 - i, i + 1));
    const ItemRef named(env.NewItem(QStringLiteral("abc")));
    list.Add(named.get());                                          // 4
    const ItemRef copy(env.NewItem(QStringLiteral("3000000002")));
    list.Add(copy.get());                                           // 5
    const ItemRef zero(env.NewItem(QStringLiteral("03000000002")));
    list.Add(zero.get());                                           // 6

    EXPECT_EQ(list.IndexesOfKey(u"3000000002"), (QList<int>{2, 5}));
    EXPECT_EQ(list.IndexesOfKey(u"abc"), QList<int>{4});
    EXPECT_EQ(list.IndexesOfKey(u"03000000002"), QList<int>{6});
    EXPECT_TRUE(list.IndexesOfKey(u"3000000009").isEmpty());
    EXPECT_EQ(list.Peek(2), nullptr);

    list.Move(5, 0);   // 3000000002 (item), the four rows, abc, 03000000002
    EXPECT_EQ(list.IndexesOfKey(u"3000000002"), (QList<int>{0, 3}));
    list.Delete(1);    // the row 3000000000 goes
    EXPECT_EQ(list.IndexesOfKey(u"3000000002"), (QList<int>{0, 2}));
    EXPECT_EQ(list.IndexesOfKey(u"abc"), QList<int>{4});
    list.Insert(0, named.get());
    EXPECT_EQ(list.IndexesOfKey(u"abc"), (QList<int>{0, 5}));
    EXPECT_EQ(list.DeleteItems({named.get()}), 2);
    EXPECT_TRUE(list.IndexesOfKey(u"abc").isEmpty());

    list.Sort(TThreadItemList::SortAgeCount, false);   // the largest count first: 9, 8, 7, then 0, 0
    for (int i : list.IndexesOfKey(u"3000000002"))
        EXPECT_EQ(list.Get(i)->GetKey(), QStringLiteral("3000000002"));
    EXPECT_EQ(list.IndexesOfKey(u"3000000002").size(), 2);
    EXPECT_EQ(list.IndexesOfKey(u"3000000001"), QList<int>{0});
    list.Clear();
    EXPECT_TRUE(list.IndexesOfKey(u"3000000001").isEmpty());
}
