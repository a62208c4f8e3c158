// The query-erase criteria and erase, and the priority and comment dialogs driven offscreen.

#include "support/TempDataRoot.h"

#include "controls/Dialogs.h"
#include "core/IniFile.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "services/QueryErase.h"
#include "tools/CommentDialog.h"
#include "tools/PriorityDialog.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QSlider>
#include <memory>

using namespace QueryErase;

namespace {

class FilterDialogsTest : public ::testing::Test {
protected:
    FilterDialogsTest()
    {
        config = std::make_unique<TTavuConfig>();
        oldConfig = std::exchange(TavuConfig, config.get());
    }
    ~FilterDialogsTest() override { TavuConfig = oldConfig; }

    void AddRes(const QString &name, const QString &mail, const QString &id, const QString &body,
                bool erased = false)
    {
        auto *res = new TRes;
        res->Number = list.Count() + 1;
        res->Name = name;
        res->Mail = mail;
        res->ID = id;
        res->Body = body;
        res->Erased = erased;
        list.Add(res);
    }
    TThreadItem *NewThread(const QString &key, const QString &title)
    {
        auto *item = new TThreadItem;
        item->DatName = key + QStringLiteral(".dat");
        item->TITLE = title;
        item->SetLogFile(root.File(key + QStringLiteral(".dat")));
        return item;
    }

    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config;
    TTavuConfig *oldConfig = nullptr;
    TResList list;
};

}  // namespace

TEST_F(FilterDialogsTest, PostRowsRunFromTheLastAndLeaveErasedPostsOut)
{
    AddRes(QStringLiteral("<b>ABC</b>"), QStringLiteral("sage"), QStringLiteral("id1"), QStringLiteral("こんにちは"));
    AddRes(QStringLiteral("名無し"), QStringLiteral("mailto:Foo@Example"), QStringLiteral("id2"), QStringLiteral("x"), true);
    AddRes(QStringLiteral("名無し"), QStringLiteral("  mailto:FOO@example  "), QStringLiteral("id1"),
           QStringLiteral("<a href=\"x\">長い本文です</a>"));

    const QList<TResRow> rows = ResRows(list);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].Position, 3);
    EXPECT_EQ(rows[0].Body, QStringLiteral("長い本文です"));
    EXPECT_EQ(rows[1].Handle, QStringLiteral("ABC"));
    EXPECT_EQ(DistinctHandles(rows), (QStringList{QStringLiteral("名無し"), QStringLiteral("ABC")}));
    EXPECT_EQ(DistinctIDs(rows), QStringList{QStringLiteral("id1")});
    EXPECT_EQ(MailCandidates(rows), QStringList{QStringLiteral("foo@example")});   // "sage" is too short

    EXPECT_TRUE(ResRows(TResList()).isEmpty());
}

TEST_F(FilterDialogsTest, CriteriaCheckTheUnionAndErasedPostsAreNotCountedAgain)
{
    AddRes(QStringLiteral("ABC"), QString(), QStringLiteral("a"), QStringLiteral("短い"));
    AddRes(QStringLiteral("xyz"), QStringLiteral("sage"), QStringLiteral("B"), QStringLiteral("ずっと長い本文"));
    AddRes(QStringLiteral("abcd"), QString(), QStringLiteral("c"), QStringLiteral("ずっと長い本文"));
    QList<TResRow> rows = ResRows(list);   // positions 3, 2, 1

    EXPECT_EQ(CheckRows(rows, ByHandle(QStringLiteral("abc"), mmExact)), 1);
    EXPECT_EQ(CheckRows(rows, ByHandle(QStringLiteral("bc"), mmPartial)), 2);
    EXPECT_EQ(CheckRows(rows, ByID(QStringLiteral("b"))), 1);
    EXPECT_TRUE(rows[0].Checked && rows[1].Checked && rows[2].Checked);

    QList<TResRow> fresh = ResRows(list);
    EXPECT_EQ(CheckRows(fresh, ByNumber(2, 3)), 2);
    EXPECT_EQ(CheckRows(fresh, ByLength(2)), 1);      // the union: every row
    EXPECT_EQ(CheckRows(fresh, ByWord(QString())), 0);
    EXPECT_EQ(CheckRows(fresh, ByMail(QStringLiteral("SAGE"), mmExact)), 1);

    fresh[1].Res->Erased = true;   // erased meanwhile: not counted
    QStringList log;
    EXPECT_EQ(EraseCheckedRes(fresh, [&log](const QString &line) { log << line; }), 2);
    EXPECT_TRUE(list.Get(0)->Erased && list.Get(2)->Erased);
    EXPECT_EQ(log.first(), QStringLiteral("  3を消去"));
    EXPECT_EQ(log.at(1), QStringLiteral("  →abcd : ずっと長い本文"));
    EXPECT_EQ(log.last(), QStringLiteral("2 個のレスを消去しました。"));

    log.clear();
    EXPECT_EQ(EraseCheckedRes({}, [&log](const QString &line) { log << line; }), 0);
    EXPECT_EQ(log, QStringList{QStringLiteral("0 個のレスを消去しました。")});
}

TEST_F(FilterDialogsTest, ErasedThreadsAreStoredAndLeaveTheList)
{
    TThreadItemList items;
    TThreadItem *keep = NewThread(QStringLiteral("1000"), QStringLiteral("雑談スレ"));
    TThreadItem *gone = NewThread(QStringLiteral("2000"), QStringLiteral("宣伝スレ"));
    TThreadItem *byKey = NewThread(QStringLiteral("3000"), QStringLiteral("質問"));
    for (TThreadItem *item : {keep, gone, byKey}) {
        items.Add(item);
        item->Release();
    }
    gone->AddRef();   // the test looks at it after the list let it go

    QList<TThreadRow> rows = ThreadRows(items);
    EXPECT_EQ(CheckThreadRows(rows, QStringLiteral("宣伝"), QStringLiteral("3000")), 2);
    QStringList log;
    EXPECT_EQ(EraseCheckedThreads(rows, items, [&log](const QString &line) { log << line; }), 2);
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Get(0), keep);
    EXPECT_EQ(log.last(), QStringLiteral("2 個のスレッドを消去しました。"));

    TThreadItem *reread = new TThreadItem;
    reread->SetLogFile(gone->GetLogFile());
    reread->LoadInfo();
    EXPECT_TRUE(reread->ABONE);
    reread->Release();
    gone->Release();
}

TEST_F(FilterDialogsTest, PriorityAboveTheBarWidensItAndIsReturned)
{
    TPriorityDialog dialog;
    dialog.SetPriority(500);
    EXPECT_EQ(dialog.GetPriority(), 500);
    EXPECT_GE(dialog.TrackBar->maximum(), 500);
    Dialogs::TScopedDialogHandlers handlers({}, [](QDialog &shown) {
        static_cast<TPriorityDialog &>(shown).TrackBar->setValue(42);
        return int(QDialog::Accepted);
    });
    ASSERT_EQ(Dialogs::ExecDialog(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.GetPriority(), 42);
}

TEST_F(FilterDialogsTest, CommentIsSavedToTheIndexFileAndReported)
{
    TThreadItem *item = NewThread(QStringLiteral("4000"), QStringLiteral("メモ対象"));
    item->COMMENT = QStringLiteral("前のメモ");
    TThreadItem *savedItem = nullptr;
    {
        TCommentDialog dialog;
        dialog.SetThreadItem(item);
        EXPECT_EQ(item->RefCount(), 2);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("メモの編集：メモ対象"));
        EXPECT_EQ(dialog.Memo->toPlainText(), QStringLiteral("前のメモ"));
        dialog.OnSaved = [&savedItem](TCommentDialog *, TThreadItem *saved) { savedItem = saved; };
        Dialogs::TScopedDialogHandlers handlers({}, [](QDialog &shown) {
            auto &comment = static_cast<TCommentDialog &>(shown);
            comment.Memo->setPlainText(QStringLiteral("新しいメモ"));
            comment.OKButtonClick();
            return comment.result();
        });
        EXPECT_EQ(Dialogs::ExecDialog(dialog), QDialog::Accepted);
    }
    EXPECT_EQ(savedItem, item);
    EXPECT_EQ(item->RefCount(), 1);
    TThreadItem *reread = new TThreadItem;
    reread->SetLogFile(item->GetLogFile());
    reread->LoadInfo();
    EXPECT_EQ(reread->COMMENT, QStringLiteral("新しいメモ"));
    reread->Release();
    item->Release();
}
