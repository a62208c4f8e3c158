// The popup-suppression lists: pages added from a tab, a listed title closing its tab, and the
// dialog that edits both lists.

#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "core/FileUtil.h"
#include "render/TavuBrowser.h"
#include "services/PopupKillList.h"
#include "tools/KillPopupDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

namespace {

// A web-page tab of the window, current, with its address and title.
TTavuBrowser *WebTab(TWindowEnv &env, const QString &url, const QString &title)
{
    TTavuBrowser *tab = nullptr;
    env.Window->Tabs().NewBrowser(tab, nullptr, nullptr, true, title);
    tab->URL = url;
    tab->Title = title;
    env.Window->UpdateBrowserMenu();
    return tab;
}

}  // namespace

TEST(KillPopup, PagesAddedFromATabAreListedOnceAndTheirTabsClose)
{
    TWindowEnv env;
    env.Start();
    TTavuBrowser *first = WebTab(env, QStringLiteral("http://ad.example.jp/x"), QStringLiteral("Spam"));
    env.Window->Action(QStringLiteral("actBrowserKillUrl"))->trigger();
    EXPECT_FALSE(env.Window->Tabs().Browsers().contains(first));
    WebTab(env, QStringLiteral("http://ad.example.jp/x"), QStringLiteral("Spam"));
    env.Window->Action(QStringLiteral("actBrowserKillUrl"))->trigger();
    WebTab(env, QStringLiteral("http://b.example.jp/"), QStringLiteral("Spam"));
    env.Window->Action(QStringLiteral("actBrowserKillTitle"))->trigger();
    EXPECT_EQ(FileUtil::ReadFile(PopupKillList::UrlFile()), QByteArray("http://ad.example.jp/x\r\n"));
    EXPECT_EQ(FileUtil::ReadFile(PopupKillList::TitleFile()), QByteArray("Spam\r\n"));

    // A blank page cannot be suppressed.
    TTavuBrowser *blank = WebTab(env, QStringLiteral("about:blank"), QString());
    env.Window->Action(QStringLiteral("actBrowserKillUrl"))->trigger();
    EXPECT_TRUE(env.Window->Tabs().Browsers().contains(blank));
    EXPECT_EQ(env.Messages.last(), QStringLiteral("このページは抑止できません。"));

    // A page whose title is listed, in another letter case, is closed once its title is known.
    TTavuBrowser *listed = WebTab(env, QStringLiteral("http://c.example.jp/"), QString());
    const qint64 closedBefore = env.config->VOZADAZOZ_CLOSETAB;
    emit listed->TitleChange(QStringLiteral("SPAM"));
    EXPECT_FALSE(env.Window->Tabs().Browsers().contains(listed));
    EXPECT_EQ(env.config->VOZADAZOZ_CLOSETAB, closedBefore + 1);
    TTavuBrowser *other = WebTab(env, QStringLiteral("http://d.example.jp/"), QString());
    emit other->TitleChange(QStringLiteral("News"));
    EXPECT_TRUE(env.Window->Tabs().Browsers().contains(other));
}

TEST(KillPopup, TheDialogKeepsEditsAcrossTabsRemovesDuplicatesAndDropsBlankPages)
{
    TWindowEnv env;
    env.WriteProfile(QStringLiteral("killurl.txt"), "http://z/\r\nhttp://a/\r\n");
    env.Start();
    QStringList urlsShown;
    Dialogs::TScopedDialogHandlers handlers([](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
                                            [&](QDialog &dialog) {
        auto *kill = qobject_cast<TKillPopupDialog *>(&dialog);
        if (!kill)
            return int(QDialog::Rejected);
        urlsShown = kill->RichEdit1->toPlainText().split(QLatin1Char('\n'));
        kill->RichEdit1->setPlainText(QStringLiteral("a\nb\na\n \nb\nABOUT:BLANK#x\nx about:blank"));
        kill->Button3->click();
        EXPECT_EQ(kill->RichEdit1->toPlainText(), QStringLiteral("a\nb\nABOUT:BLANK#x\nx about:blank"));
        kill->TabControl1->setCurrentIndex(1);
        kill->RichEdit1->setPlainText(QStringLiteral("題"));
        kill->TabControl1->setCurrentIndex(0);   // the edits of both tabs stay, sorted
        EXPECT_EQ(kill->RichEdit1->toPlainText(), QStringLiteral("ABOUT:BLANK#x\na\nb\nx about:blank"));
        kill->Button1->click();
        return dialog.result();
    });
    env.Window->Action(QStringLiteral("actToolKillPopup"))->trigger();
    EXPECT_EQ(urlsShown, (QStringList{QStringLiteral("http://a/"), QStringLiteral("http://z/")}));   // sorted
    EXPECT_EQ(FileUtil::ReadFile(PopupKillList::UrlFile()), QByteArray("a\r\nb\r\nx about:blank\r\n"));
    EXPECT_TRUE(PopupKillList::IsTitleKilled(QStringLiteral("題")));
}
