// Erasing by query and restoring, for posts and threads, through the main window's commands and
// their real dialogs: an erase only marks, so a restore gives back the log byte for byte.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "StoredThread.h"
#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/WindowServices.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TargetBoard.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/EraseRestore.h"
#include "tools/AboneDialog.h"
#include "tools/ReboneDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QTreeWidget>

namespace {

void Tick(QTreeWidget *list, const QList<int> &rows)
{
    for (int row : rows)
        list->topLevelItem(row)->setCheckState(0, Qt::Checked);
}

// A stored thread of 2ch/news, open in a thread tab.
class TOpenThread {
public:
    explicit TOpenThread(const QByteArray &log)
    {
        item = new TThreadItem;
        item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("1100000001"), QStringLiteral("消去テスト"));
        FileUtil::WriteFileAtomic(item->GetLogFile(), log);
        tab = StoredThread::OpenTab(item);
    }
    ~TOpenThread() { item->Release(); }

    QByteArray Log() const
    {
        QFile file(item->GetLogFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QSet<int> Erased() const { return item->ReadErasedRes(); }

    TThreadItem *item = nullptr;
    TTavuBrowser *tab = nullptr;
};

QByteArray SampleLog()
{
    QByteArray log;
    log += jconvert::UnicodeToSjis(QStringLiteral("名無し<>sage<>2024/05/01 ID:aaa<>一つ目 <br> 改行<>題\r\n"));
    log += jconvert::UnicodeToSjis(QStringLiteral("宣伝屋<><>2024/05/01 ID:bbb<>買ってね<>\r\n"));
    log += QByteArray("broken<><>2024/05/01 ID:aaa<>\x81\x20 odd bytes \xff<>\r\n");   // not valid Shift_JIS
    log += jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024/05/01 ID:ccc<>四つ目<>\r\n"));
    return log;
}

}  // namespace

TEST(EraseRestore, ErasedPostsComeBackAndTheLogNeverChanges)
{
    TWindowEnv env;
    env.Start();
    TavuEnviron->SetCached(true, true);
    const QByteArray original = SampleLog();
    TOpenThread thread(original);
    env.Window->RefreshResView();

    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            auto &erase = dynamic_cast<TAboneDialog &>(dialog);
            erase.IDCombo->setCurrentText(QStringLiteral("AAA"));
            erase.ApplyID();
            erase.OKButtonClick();
        });
        env.Window->Action(QStringLiteral("actThreadQueryAbone"))->trigger();
        EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TAboneDialog")});
    }
    EXPECT_EQ(thread.Erased(), (QSet<int>{1, 3}));
    EXPECT_EQ(thread.Log(), original);
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("2 個のレスを消去しました。")));

    // Restore one: the rows are the erased posts, in order.
    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            auto &restore = dynamic_cast<TReboneDialog &>(dialog);
            ASSERT_EQ(restore.ListView1->topLevelItemCount(), 2);
            EXPECT_EQ(restore.ListView1->topLevelItem(1)->text(0), QStringLiteral("0003"));
            Tick(restore.ListView1, {0});
            restore.Button6Click();
        });
        env.Window->Action(QStringLiteral("actThreadRebone"))->trigger();
        EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TReboneDialog")});
    }
    EXPECT_EQ(thread.Erased(), QSet<int>{3});
    EXPECT_FALSE(thread.tab->ResList()->Get(0)->Erased);
    EXPECT_FALSE(thread.tab->ResList()->Get(0)->Hidden);

    // Restore the rest: the thread reads as it did before the erase.
    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            auto &restore = dynamic_cast<TReboneDialog &>(dialog);
            restore.CheckAll(true);
            restore.Button6Click();
        });
        env.Window->Action(QStringLiteral("actThreadRebone"))->trigger();
    }
    EXPECT_TRUE(thread.Erased().isEmpty());
    EXPECT_EQ(thread.Log(), original);
    TResList reread(thread.item);
    thread.item->LoadResList(reread);
    QByteArray lines;
    for (int i = 0; i < reread.Count(); ++i) {
        EXPECT_FALSE(reread.Get(i)->Erased);
        lines += reread.Get(i)->ToDatLine() + "\r\n";
    }
    EXPECT_EQ(lines, original);
}

// The dialog and the log pane show a post as the reader sees it: no tags, entities decoded.
TEST(EraseRestore, PostsAreListedAndLoggedAsPlainText)
{
    TWindowEnv env;
    env.Start();
    TavuEnviron->SetCached(true, true);
    QByteArray log = SampleLog();
    log += jconvert::UnicodeToSjis(QStringLiteral("<b>名&amp;無し</b><><>2024/05/01 ID:ddd<>&gt;&gt;1 &quot;そうだね&quot;<>\r\n"));
    TOpenThread thread(log);
    env.Window->RefreshResView();

    QString shown;
    {
        TDialogAnswers answers(env, [&shown](QDialog &dialog) {
            auto &erase = dynamic_cast<TAboneDialog &>(dialog);
            QTreeWidgetItem *row = erase.ResListView->topLevelItem(0);   // the last post comes first
            shown = row->text(2) + QLatin1Char('|') + row->text(5);
            erase.IDCombo->setCurrentText(QStringLiteral("ddd"));
            erase.ApplyID();
            erase.OKButtonClick();
        });
        env.Window->Action(QStringLiteral("actThreadQueryAbone"))->trigger();
    }
    EXPECT_EQ(shown, QStringLiteral("名&無し|>>1 \"そうだね\""));
    EXPECT_EQ(thread.Erased(), QSet<int>{5});
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("  →名&無し : >>1 \"そうだね\""))) << env.LogLines().join(u'\n').toStdString();

    // The restore dialog lists it the same way.
    shown.clear();
    {
        TDialogAnswers answers(env, [&shown](QDialog &dialog) {
            auto &restore = dynamic_cast<TReboneDialog &>(dialog);
            QTreeWidgetItem *row = restore.ListView1->topLevelItem(0);
            shown = row->text(1) + QLatin1Char('|') + row->text(5);
        });
        env.Window->Action(QStringLiteral("actThreadRebone"))->trigger();
    }
    EXPECT_EQ(shown, QStringLiteral("名&無し|>>1 \"そうだね\""));
}

TEST(EraseRestore, APostBothErasedAndHiddenByARuleIsNotOfferedAndNothingTickedChangesNothing)
{
    TWindowEnv env;
    env.Start();
    TOpenThread thread(SampleLog());
    auto rule = std::make_unique<TTavuAction>();
    rule->Target = TTavuAction::RESBODY;
    rule->Value1 = QStringLiteral("買って");
    rule->Boards.Add(TTargetBoard::AllSites(), QString(), true);
    env.Window->Services().Rules().ResRules()->Add(std::move(rule));
    TIniFile inf(thread.item->GetInfFile());
    inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES2"), true);
    inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES4"), true);
    inf.UpdateFile();
    env.Window->RefreshResView();

    const QList<TRes *> offered = EraseRestore::ErasedRes(*thread.tab->ResList());
    ASSERT_EQ(offered.size(), 1);
    EXPECT_EQ(offered[0]->Number, 4);

    TDialogAnswers answers(env, [](QDialog &dialog) { static_cast<TReboneDialog &>(dialog).Button6Click(); });
    env.Window->Action(QStringLiteral("actThreadRebone"))->trigger();
    EXPECT_EQ(thread.Erased(), (QSet<int>{2, 4}));
}

TEST(EraseRestore, ErasedThreadsLeaveTheListAndComeBackWithTheirIndexIntact)
{
    TWindowEnv env;
    env.Start();
    TavuEnviron->SetCached(true, true);
    // three listed threads and one erased earlier that the listing no longer holds
    auto *items = new TThreadItemList;
    const QStringList titles = {QStringLiteral("雑談"), QStringLiteral("宣伝スレ"), QStringLiteral("質問")};
    QString boardDir;
    for (int i = 0; i < 4; ++i) {
        auto *item = new TThreadItem;
        item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QString::number(1200000001 + i),
                          titles.value(i, QStringLiteral("古い宣伝")));
        FileUtil::WriteFileAtomic(item->GetLogFile(), "a<><>b<>c<>t\r\n");
        item->COUNT = 5;
        item->READ = 5;
        item->ABONE = i == 3;
        item->SaveInfo();
        item->COUNT = item->READ = 0;   // what a listing knows before the .inf is read
        item->Number = i + 1;
        boardDir = QFileInfo(item->GetLogFile()).path();
        if (i < 3)
            items->Add(item);
        item->Release();
    }
    TTavuListDoc *doc = nullptr;
    TestWindow().Tabs().NewListDoc(doc, items, TTavuListDoc::lmBoard, false, QStringLiteral("ニュース"), items->Get(0)->GetBoard());
    doc->SetDisplayCount(3);
    doc->Activate();
    Part<TqorExtListView>(env.Window, "ThreadListView")
        ->setCurrentIndex(Part<TqorExtListView>(env.Window, "ThreadListView")->model()->index(0, 0));
    Part<TqorExtListView>(env.Window, "ThreadListView")->selectAll();
    env.Window->UpdateThreadListMenu();

    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            auto &erase = dynamic_cast<TAboneDialog &>(dialog);
            erase.TitleWordCombo->setCurrentText(QStringLiteral("宣伝"));
            erase.ApplyTitleWord();
            erase.OKButtonClick();
        });
        env.Window->Action(QStringLiteral("actThreadListQueryAbone"))->trigger();
        EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TAboneDialog")});
    }
    ASSERT_EQ(doc->Items()->Count(), 2);
    EXPECT_EQ(doc->DisplayCount(), 2);
    TIniFile erased(boardDir + QStringLiteral("/1200000002.inf"));
    EXPECT_TRUE(erased.ReadBool(QStringLiteral("LOG"), QStringLiteral("ABONE")));
    EXPECT_EQ(erased.ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT")), 5);
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("1 個のスレッドを消去しました。")));

    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            auto &restore = dynamic_cast<TReboneDialog &>(dialog);
            ASSERT_EQ(restore.ListView2->topLevelItemCount(), 2);
            EXPECT_EQ(restore.ListView2->topLevelItem(1)->text(1), QStringLiteral("1200000004"));
            restore.CheckAll(true);
            restore.Button6Click();
        });
        env.Window->Action(QStringLiteral("actThreadListRebone"))->trigger();
    }
    EXPECT_TRUE(env.Messages.contains(QStringLiteral("次回リロード時に復元スレッドが表示されます。")));
    for (const char *key : {"1200000002", "1200000004"}) {
        TIniFile inf(boardDir + QLatin1Char('/') + QLatin1String(key) + QStringLiteral(".inf"));
        EXPECT_FALSE(inf.ReadBool(QStringLiteral("LOG"), QStringLiteral("ABONE"))) << key;
        EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT")), 5) << key;
        EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("READ")), 5) << key;
    }
}
