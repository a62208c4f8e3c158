// Searching the board tree: the history of findlog.txt, and from the window the node found from the
// top or after the current one.

#include "PostTestEnv.h"

#include "core/TextList.h"
#include "mainwindow/KpwBoardTree.h"
#include "settings/BoardFindDialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

TEST(BoardFind, TheTreeIsSearchedAndTheHistoryKeptNewestFirst)
{
    EXPECT_EQ(TBoardFindDialog::PushHistory({"a", "b", "c"}, QStringLiteral("b")), (QStringList{"b", "a", "c"}));

    TPostWindowEnv env([](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n");
        e.WriteProfile(QStringLiteral("findlog.txt"), jconvert::UnicodeToSjis(QStringLiteral("ニュ\r\n古い\r\n")));
    });
    QString text;
    bool next = false;
    QStringList messages;
    Kpwfunc::TScopedDialogHandlers handlers(
        [&messages](Kpwfunc::TMsgKind, const QString &message, Kpwfunc::TMsgButtons) {
            messages << message;
            return Kpwfunc::mrOK;
        },
        [&](QDialog &d) {
            auto *dialog = dynamic_cast<TBoardFindDialog *>(&d);
            if (!dialog)
                return int(QDialog::Rejected);
            dialog->ComboBox1->setCurrentText(text);
            dialog->RadioGroup1->button(next ? 1 : 0)->click();
            dialog->Button1->click();
            return dialog->result();
        });
    QAction *find = env.Window()->Action(QStringLiteral("actBoardFind"));
    text = QStringLiteral("板");   // 消えた板 only
    find->trigger();
    EXPECT_EQ(Kpwfunc::NodeBoard(env.Window()->BoardListView->currentItem()), env.Board(PostTest::Gone));
    next = true;   // nothing after it
    find->trigger();
    EXPECT_EQ(messages, QStringList{QStringLiteral("見つかりませんでした。")});
    next = false;
    text = QStringLiteral("ニュ");
    find->trigger();
    EXPECT_EQ(Kpwfunc::NodeBoard(env.Window()->BoardListView->currentItem()), env.Board(PostTest::News));

    TTextList history;
    history.LoadFromFile(env.env.Profile(QStringLiteral("findlog.txt")));
    EXPECT_EQ(history.Lines, (QStringList{QStringLiteral("ニュ"), QStringLiteral("板"), QStringLiteral("古い")}));
}
