// Finding the rows of a thread in a list: the item itself and the other items of its thread, made
// ones only, so that a long listing is searched without making an item of each row.

#include "core/ThreadTestEnv.h"

#include "core/ListingRows.h"
#include "core/ThreadItemList.h"
#include "services/ThreadListPane.h"

#include <gtest/gtest.h>

namespace {

// A new item of the board with the key, handed to the list.
void AddItem(TThreadItemList &list, const QString &board, const QString &key)
{
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("test"), board, key, QString());
    list.Add(item);
    item->Release();
}

}  // namespace

TEST(ThreadListPane, TheRowsOfAThreadAreItsMadeItemsOfTheSameSiteBoardAndKey)
{
    ThreadTestEnv env;
    auto listing = std::make_shared<TListingRows>(QStringLiteral("test"), QStringLiteral("news"));
    TThreadItemList list;
    for (int i = 0; i < 3; ++i)
        list.AddRow(listing, listing->Add(2000000000 + i, QStringLiteral("スレ%1").arg(i), 10, i + 1));
    AddItem(list, QStringLiteral("news"), QStringLiteral("2000000001"));    // 3: another item of the thread
    AddItem(list, QStringLiteral("local1"), QStringLiteral("2000000001"));  // 4: another board
    AddItem(list, QStringLiteral("news"), QStringLiteral("20000000011"));   // 5: a key it begins
    AddItem(list, QStringLiteral("news"), QStringLiteral("200000000"));     // 6: a key that begins it

    const TThreadItem *made = list.Get(1);
    EXPECT_EQ(ThreadListPane::RowsOfThread(list, *made), (QList<int>{1, 3}));
    EXPECT_EQ(ThreadListPane::RowsOfThread(list, *list.Get(3)), (QList<int>{1, 3}));
    EXPECT_EQ(list.Peek(0), nullptr);
    EXPECT_EQ(list.Peek(2), nullptr);

    // A thread listed only in a row not made yet has no rows to show it anew.
    ItemRef outside(env.NewItem(QStringLiteral("2000000002")));
    EXPECT_TRUE(ThreadListPane::RowsOfThread(list, *outside.get()).isEmpty());
    EXPECT_EQ(list.Peek(2), nullptr);
}
