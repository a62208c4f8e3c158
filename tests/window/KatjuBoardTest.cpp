// Importing a 2channel.brd board list: each board with the site that owns it and whether it is
// registered, the boards ticked added to their site (or the user site) and written to board.dat.

#include "PostTestEnv.h"

#include "core/FileUtil.h"
#include "services/KatjuBoardList.h"
#include "settings/KatjuBoardDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

namespace {

QString BoardDat(const TSite *site)
{
    return jconvert::SjisToUnicode(FileUtil::ReadFile(site->GetDir() + QStringLiteral("board.dat")));
}

void Tick(TKatjuBoardDialog &dialog, const QString &id)
{
    for (int i = 0; i < dialog.ListView1->topLevelItemCount(); ++i) {
        if (dialog.ListView1->topLevelItem(i)->text(3) == id)
            dialog.ListView1->topLevelItem(i)->setCheckState(0, Qt::Checked);
    }
}

}  // namespace

TEST(KatjuBoard, BoardsGoToTheirOwnersOrTheUserSite)
{
    TPostEnv env;
    TSite *user = TavuEnviron->UserSite();
    user->Boards->Clear();
    const QString brd = env.root.File(QStringLiteral("2channel.brd"));
    FileUtil::WriteFileAtomic(brd, jconvert::UnicodeToSjis(QStringLiteral(
        "2\r\n\tfar.example\tfirst\t先頭\r\nカテ1\t0\r\n\t%1\tnews\tニュース\r\n\t%1\tfresh\t新板\r\n\r\n"
        "外\r\n\tfar.example\tfar\t遠い板\r\n\tjbbs.shitaraba.com/game\t123\tしたらば\r\n").arg(env.server.Host())));

    TKatjuBoardDialog dialog;
    dialog.LoadBrdFile(brd);
    ASSERT_EQ(dialog.Boards().size(), 5);
    EXPECT_EQ(dialog.Boards().at(0).Category, QString());
    EXPECT_EQ(dialog.Boards().at(1).SiteCaption, QStringLiteral("テスト"));
    EXPECT_TRUE(dialog.Boards().at(1).Registered);
    EXPECT_FALSE(dialog.Boards().at(2).Registered);
    EXPECT_EQ(dialog.Boards().at(3).SiteCaption, QStringLiteral("(不明)"));

    for (const char *id : {"fresh", "far", "123", "news"})
        Tick(dialog, QString::fromLatin1(id));
    dialog.BitBtn1Click();
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));

    const TBoard *fresh = env.site->Boards->FindByID(QStringLiteral("fresh"));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->URL, env.server.BoardUrl(QStringLiteral("fresh")));
    EXPECT_TRUE(BoardDat(env.site).contains(QStringLiteral("新板")));
    const TBoard *far = user->Boards->FindByID(QStringLiteral("far"));
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->BBS->ID, QStringLiteral("2chscript"));
    const TBoard *jbbs = user->Boards->FindByID(QStringLiteral("123"));
    ASSERT_NE(jbbs, nullptr);
    EXPECT_EQ(jbbs->BBS->ID, QStringLiteral("shitarabajbbs"));
    EXPECT_EQ(jbbs->CodePage, 1);
    EXPECT_EQ(jbbs->HostPath, QStringLiteral("jbbs.shitaraba.com/game"));
    EXPECT_TRUE(BoardDat(user).contains(QStringLiteral("遠い板")));
    EXPECT_EQ(user->Boards->FindByID(QStringLiteral("first")), nullptr);   // not ticked

    // Read again, the boards of the user site show as its own and registered; ticking them adds nothing.
    dialog.LoadBrdFile(brd);
    EXPECT_EQ(dialog.Boards().at(3).SiteCaption, QStringLiteral("その他のBBS(外)"));
    EXPECT_TRUE(dialog.Boards().at(3).Registered);
    Tick(dialog, QStringLiteral("far"));
    dialog.BitBtn1Click();
    EXPECT_EQ(user->Boards->Count(), 2);
}

// Enter in the path field loads the path typed there, and opens no file chooser.
TEST(KatjuBoard, EnterInThePathFieldLoadsTheTypedPath)
{
    TPostEnv env;
    const QString brd = env.root.File(QStringLiteral("typed.brd"));
    FileUtil::WriteFileAtomic(brd, jconvert::UnicodeToSjis(QStringLiteral("2\r\nカテ\t0\r\n\t%1\tnews\tニュース\r\n")
                                                               .arg(env.server.Host())));
    QStringList dialogs;
    Dialogs::TScopedDialogHandlers answers(nullptr, [&dialogs](QDialog &dialog) {
        dialogs << QString::fromLatin1(dialog.metaObject()->className());
        return int(QDialog::Rejected);
    });
    TKatjuBoardDialog dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.Edit1->setFocus();
    ASSERT_TRUE(PostTest::WaitFor([&] { return dialog.Edit1->hasFocus(); }));
    dialog.Edit1->setText(brd);
    QTest::keyClick(dialog.Edit1, Qt::Key_Return);
    EXPECT_TRUE(dialogs.isEmpty());
    ASSERT_EQ(dialog.Boards().size(), 1);
    EXPECT_EQ(dialog.Boards().at(0).Name, QStringLiteral("ニュース"));
    EXPECT_EQ(TavuConfig->KATJUBOARDPATH, brd);
    EXPECT_TRUE(dialog.isVisible());
}

// A list of 50,000 boards of which the user site knows half: each is matched once (bench/brd_bench.cpp
// shows the time per board staying flat), the known half shows registered, and importing all of
// them adds the other half once, the first of an id repeated in the list winning.
TEST(KatjuBoard, FiftyThousandBoardsAreMatchedAndImportedOnce)
{
    TPostEnv env;
    TSite *user = TavuEnviron->UserSite();
    user->Boards->Clear();
    constexpr int Count = 50000;
    QString text = QStringLiteral("2\r\n大量\t0\r\n");
    for (int i = 0; i < Count; ++i)
        text += QStringLiteral("\tfar%1.example\tb%2\t板%2\r\n").arg(i % 7).arg(i);
    text += QStringLiteral("\tother.example\tb1\t二度目\r\n");
    const QString brd = env.root.File(QStringLiteral("2channel.brd"));
    FileUtil::WriteFileAtomic(brd, jconvert::UnicodeToSjis(text));
    for (int i = 0; i < Count; i += 2) {
        auto *board = new TBoard;
        board->ID = QStringLiteral("b%1").arg(i);
        board->HostPath = QStringLiteral("far%1.example").arg(i % 7);
        board->Site = user;
        user->Boards->Add(board);
    }

    QList<TKatjuBoard> boards;
    ASSERT_EQ(KatjuBoardList::Load(brd, *TavuEnviron->SiteList(), user, boards), KatjuBoardList::lrLoaded);
    ASSERT_EQ(boards.size(), Count + 1);
    EXPECT_EQ(std::count_if(boards.begin(), boards.end(), [](const TKatjuBoard &b) { return b.Registered; }), Count / 2);
    EXPECT_TRUE(boards.at(0).Registered);
    EXPECT_FALSE(boards.at(1).Registered);

    QList<const TKatjuBoard *> chosen;
    for (const TKatjuBoard &board : boards)
        chosen << &board;
    KatjuBoardList::Import(chosen, user, *TavuEnviron->BBSList());
    EXPECT_EQ(user->Boards->Count(), Count);
    EXPECT_EQ(user->Boards->FindByID(QStringLiteral("b1"))->Name, QStringLiteral("板1"));
    EXPECT_EQ(user->Boards->FindByID(QStringLiteral("b1"))->HostPath, QStringLiteral("far1.example"));
}

TEST(KatjuBoard, MissingAndForeignFilesGiveAnEmptyList)
{
    TPostEnv env;
    TKatjuBoardDialog dialog;
    dialog.LoadBrdFile(env.root.File(QStringLiteral("none.brd")));
    const QString other = env.root.File(QStringLiteral("other.brd"));
    FileUtil::WriteFileAtomic(other, "1\r\n\thost\tid\tname\r\n");
    dialog.LoadBrdFile(other);
    EXPECT_EQ(dialog.ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(env.Messages, (QStringList{QStringLiteral("ファイルが無いよ。"), QStringLiteral("ファイルの形式がおかしいよ。")}));
    FileUtil::WriteFileAtomic(other, "2\r\n");
    dialog.LoadBrdFile(other);
    EXPECT_EQ(dialog.ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(env.Messages.size(), 2);
}

TEST(KatjuBoard, TheWindowCommandShowsTheImportDialog)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    bool shown = false;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&shown](QDialog &dialog) {
            shown = dynamic_cast<TKatjuBoardDialog *>(&dialog) != nullptr;
            return int(QDialog::Rejected);
        });
    env.Window()->Action(QStringLiteral("actBoardImportKatjuBoard"))->trigger();
    EXPECT_TRUE(shown);
}

// The four commands of the list's menu tick and untick the rows, all or the selected ones, on the
// shown dialog; OK imports what they ticked.
TEST(KatjuBoard, TheMenuCommandsTickTheRowsTheySay)
{
    TPostEnv env;
    TSite *user = TavuEnviron->UserSite();
    user->Boards->Clear();
    const QString brd = env.root.File(QStringLiteral("2channel.brd"));
    FileUtil::WriteFileAtomic(brd, jconvert::UnicodeToSjis(QStringLiteral(
        "2\r\n外\r\n\tfar.example\ta\t板A\r\n\tfar.example\tb\t板B\r\n\tfar.example\tc\t板C\r\n")));
    TKatjuBoardDialog dialog;
    dialog.show();
    dialog.LoadBrdFile(brd);
    const auto ticked = [&dialog] {
        QStringList ids;
        for (int i = 0; i < dialog.ListView1->topLevelItemCount(); ++i) {
            if (dialog.ListView1->topLevelItem(i)->checkState(0) == Qt::Checked)
                ids << dialog.ListView1->topLevelItem(i)->text(3);
        }
        return ids;
    };
    const auto run = [&dialog](const QString &caption) {
        for (QAction *action : dialog.ListView1->actions()) {
            if (action->text() == caption)
                action->trigger();
        }
    };
    run(QStringLiteral("すべて選択(&A)"));
    EXPECT_EQ(ticked(), (QStringList{"a", "b", "c"}));
    dialog.ListView1->topLevelItem(1)->setSelected(true);
    run(QStringLiteral("選択している項目を解除する(&Z)"));
    EXPECT_EQ(ticked(), (QStringList{"a", "c"}));
    run(QStringLiteral("すべて解除(&X)"));
    EXPECT_TRUE(ticked().isEmpty());
    run(QStringLiteral("選択している項目をチェックする(&C)"));
    EXPECT_EQ(ticked(), QStringList{"b"});

    dialog.BitBtn1Click();
    ASSERT_EQ(user->Boards->Count(), 1);
    EXPECT_EQ(user->Boards->Get(0)->ID, QStringLiteral("b"));
}
