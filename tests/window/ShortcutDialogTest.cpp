// Registering threads and boards on the shortcut bar: the items' places in the chosen tab, new tabs
// named once, and from the window a thread put on the bar and taken off again.

#include "PostTestEnv.h"

#include "controls/ShortcutData.h"
#include "render/TavuBrowser.h"
#include "services/Urls.h"
#include "settings/ShortcutDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace {

QStringList TabItems(const QString &tabName)
{
    QStringList texts;
    for (const auto &tab : ShortcutData::LoadShortcutBarModel(ShortcutData::ShortcutFileName())) {
        if (tab->Name != tabName)
            continue;
        for (int i = 0; i < tab->GetCount(); ++i)
            texts << tab->GetItem(i)->Text + QLatin1Char('|') + tab->GetItem(i)->Param1;
    }
    return texts;
}

}  // namespace

TEST(ShortcutDialog, ItemsGoToTheTopOrTheEndOfANewTab)
{
    TPostEnv env;
    QStringList names{QStringLiteral(""), QStringLiteral("タブ1")};
    env.Dialog = [&names](QDialog &d) {
        auto *input = dynamic_cast<QInputDialog *>(&d);
        if (!input || names.isEmpty())
            return int(QDialog::Rejected);
        input->setTextValue(names.takeFirst());
        return int(QDialog::Accepted);
    };
    {
        TShortcutDialog dialog;
        dialog.Button3Click();   // an empty name is asked again
        EXPECT_EQ(env.Messages, QStringList{QStringLiteral("名前を入力してください。")});
        dialog.AddItem(skBoard, QStringLiteral("一"), QStringLiteral("a"), QStringLiteral("test"));
        dialog.AddItem(skBoard, QStringLiteral("二"), QStringLiteral("b"), QStringLiteral("test"));
        dialog.Button1Click();   // the new tab is selected; at the end the items come in reverse
        EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    }
    EXPECT_EQ(TabItems(QStringLiteral("タブ1")), (QStringList{QStringLiteral("二|b"), QStringLiteral("一|a")}));

    names = QStringList{QStringLiteral("タブ1")};   // taken: asked again, then cancelled
    TShortcutDialog dialog;
    const int tabs = dialog.ListBox1->count();
    dialog.Button3Click();
    EXPECT_EQ(env.Messages.last(), QStringLiteral("すでに同名のタブが存在します。"));
    EXPECT_EQ(dialog.ListBox1->count(), tabs);
    dialog.ListBox1->setCurrentRow(dialog.ListBox1->row(dialog.ListBox1->findItems(QStringLiteral("タブ1"), Qt::MatchExactly).first()));
    dialog.AddItem(skBoard, QStringLiteral("三"), QStringLiteral("c"), QStringLiteral("test"));
    dialog.FormShow();
    dialog.Edit1->setText(QStringLiteral("三番"));
    dialog.SpeedButton1->click();
    dialog.Button1Click();
    EXPECT_EQ(TabItems(QStringLiteral("タブ1")),
              (QStringList{QStringLiteral("三番|c"), QStringLiteral("二|b"), QStringLiteral("一|a")}));
}

TEST(ShortcutDialog, TheCurrentThreadGoesOnTheBarAndOff)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    const QString key = QStringLiteral("1000000001");
    PostTest::AddThread(env.server, PostTest::News, key, 1);
    TavuConfig->URL_OPENINVARNELO = 0;
    env.Window()->OpenThreadUrl(env.server.Url(QStringLiteral("/test/read.cgi/news/") + key + QLatin1Char('/')));
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    TThreadItem *item = env.Window()->Tabs().Browsers().first()->ThreadItem();
    ASSERT_TRUE(PostTest::WaitFor([item] { return item->LogExists(); }));
    QString tab;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&tab](QDialog &d) {
            auto *dialog = dynamic_cast<TShortcutDialog *>(&d);
            if (!dialog || dialog->ListBox1->count() == 0)
                return int(QDialog::Rejected);
            dialog->ListBox1->setCurrentRow(0);
            tab = dialog->ListBox1->item(0)->text();
            dialog->Button1Click();
            return dialog->result();
        });
    QAction *add = env.Window()->Action(QStringLiteral("actThreadAddShortcut"));
    add->trigger();
    ASSERT_FALSE(tab.isEmpty());
    EXPECT_TRUE(item->SHORTCUT);
    EXPECT_TRUE(TabItems(tab).contains(item->ShownTitle() + QLatin1Char('|') + key));
    add->trigger();
    EXPECT_FALSE(item->SHORTCUT);
    EXPECT_FALSE(TabItems(tab).contains(item->ShownTitle() + QLatin1Char('|') + key));
}
