// A title with entities and "&" as the user reads it wherever the window shows it: the recent-thread
// menu, the history window, the thread tab's button and menu item, the thread information pane, the
// window caption and a copy of the title, each decoded once ("&amp;lt;" reads "&lt;") and with a literal "&".

#include "PostTestEnv.h"

#include "commands/CopyFormats.h"
#include "commands/ThreadInfoPane.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "services/HistoryModel.h"
#include "settings/HistDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QListWidget>
#include <QMenu>
#include <QTreeView>

using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");
// As the server writes it, and so as subject.txt, the .inf and the history keep it.
const QString Stored = QStringLiteral("&lt;テスト&gt; &amp;lt; &amp; &#9829;");
const QString Shown = QStringLiteral("<テスト> &lt; & ♥");
// The caption of a menu item or a button that shows Shown: every "&" doubled.
const QString ShownCaption = QStringLiteral("<テスト> &&lt; && ♥");

void WriteReadHistory(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("readhist.txt"),
                     jconvert::UnicodeToSjis(QStringLiteral("test\tnews\t%1\t%2\t2024/05/01 10:00:00\r\n").arg(Key, Stored)));
}

}  // namespace

TEST(TitleEntities, EveryPlaceThatShowsAThreadTitleShowsItDecodedWithALiteralAmpersand)
{
    TPostWindowEnv env(WriteReadHistory);
    env.server.AddThread(News, Key, Stored);
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("本文"));
    TVarneloWindow *window = env.Window();

    // The history window: the title column and the search.
    window->Action(QStringLiteral("actShowHist"))->trigger();
    auto *history = window->findChild<THistDialog *>();
    ASSERT_TRUE(history);
    const QAbstractItemModel *model = history->ListView1->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->data(model->index(0, THistoryModel::colTitle)).toString(), Shown);
    EXPECT_EQ(history->ReadHistory->FindNext(QStringLiteral("<テスト>"), -1), 0);
    history->close();

    // The recent-thread menu: no access key taken from the title.
    QMenu *recent = window->findChild<QMenu *>(QStringLiteral("RecentRead"));
    ASSERT_TRUE(recent);
    emit recent->aboutToShow();
    QAction *entry = recent->actions().value(0);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), QStringLiteral("(&0)") + ShownCaption + QStringLiteral(" (ニュース@テスト)"));
    EXPECT_EQ(QKeySequence::mnemonic(entry->text()), QKeySequence(Qt::ALT | Qt::Key_0));

    // The thread opened from there: its tab's button and menu item, the information pane, the caption.
    entry->trigger();
    TTavuBrowser *tab = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        return window->BusyCount() == 0 && TavuHttpList->Count() == 0 && window->Tabs().GetActiveBrowser(tab) && tab->ResList()
            && tab->ResList()->Count() == 1;
    }));
    ASSERT_TRUE(tab->TabButton);
    EXPECT_EQ(tab->TabButton->text(), ShownCaption);
    EXPECT_TRUE(QKeySequence::mnemonic(tab->TabButton->text()).isEmpty());
    ASSERT_TRUE(tab->TabMenuItem);
    EXPECT_EQ(tab->TabMenuItem->text(), ShownCaption);
    auto *pane = window->findChild<TThreadInfoPane *>();
    ASSERT_TRUE(pane);
    ASSERT_TRUE(WaitFor([&] { return pane->ThreadInfoListBox->count() > 1; }));
    EXPECT_EQ(pane->ThreadInfoListBox->item(0)->text(), QStringLiteral("タイトル"));
    EXPECT_EQ(pane->ThreadInfoListBox->item(1)->text(), Shown);
    EXPECT_TRUE(window->windowTitle().contains(Shown));
    EXPECT_TRUE(CopyFormats::ThreadTitle(*tab->ThreadItem()).startsWith(Shown));   // what a title copy takes
    EXPECT_EQ(tab->ThreadItem()->TITLE, Stored);   // the item keeps what the server wrote
}
