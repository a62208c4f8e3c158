// The notification-area icon (shown while the window is in the tray, by the setting or by actHide),
// and the login commands of the Be account and the past-log service against a local server.

#include "support/BoardServer.h"

#include "WindowParts.h"
#include "StoredThread.h"

#include "boards/Be2chManager.h"
#include "boards/DolibManager.h"
#include "commands/BeCommands.h"
#include "commands/TrayIcon.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "settings/BeProfileDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>

namespace {

// The one Be account the local server knows.
void KnowBeAccount(BoardServer &server)
{
    server.BeMail = QStringLiteral("me@example.jp");
    server.BePassword = QStringLiteral("secret");
}

// A Be manager that logs in at the server, with settings that hold the account and ask nothing.
std::unique_ptr<TBe2chManager> BeLoginAt(const BoardServer &server, TWindowEnv &env)
{
    auto be = std::make_unique<TBe2chManager>();
    be->LoginUrl = server.Url(QStringLiteral("/be/login"));
    env.config->BE_USERNAME = server.BeMail;
    env.config->BE_PASSWORD = server.BePassword;
    env.config->BE_SHOWDIALOG = false;
    return be;
}

}  // namespace

TEST(TrayAndBeTest, MinimisingGoesToTheTrayOnlyWhenTheSettingSaysSo)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    TTrayIcon *tray = Part<TTrayIcon>(env.Window);
    tray->TrayAvailable = [] { return true; };
    QAction *hide = env.Window->Action(QStringLiteral("actHide"));
    ASSERT_TRUE(hide->isEnabled());

    TavuConfig->INTOTASKTRAY = false;
    tray->WindowMinimized();
    EXPECT_FALSE(tray->Icon()->isVisible());
    EXPECT_TRUE(env.Window->isVisible());

    TavuConfig->INTOTASKTRAY = true;
    tray->WindowMinimized();
    EXPECT_TRUE(tray->Icon()->isVisible());
    EXPECT_EQ(tray->Icon()->toolTip(), QStringLiteral("ヴァルネロ"));
    EXPECT_TRUE(hide->isChecked());
    EXPECT_FALSE(env.Window->isVisible());
    tray->WindowMinimized();   // no second icon, nothing changes
    EXPECT_TRUE(tray->Icon()->isVisible());

    emit tray->Icon()->activated(QSystemTrayIcon::Context);   // a right click does nothing
    EXPECT_FALSE(env.Window->isVisible());
    emit tray->Icon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(env.Window->isVisible());
    EXPECT_FALSE(tray->Icon()->isVisible());
    EXPECT_FALSE(hide->isChecked());
}

TEST(TrayAndBeTest, HideCommandPutsTheWindowInTheTrayWhateverTheSetting)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    Part<TTrayIcon>(env.Window)->TrayAvailable = [] { return true; };
    TavuConfig->INTOTASKTRAY = false;
    env.Window->Action(QStringLiteral("actHide"))->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Part<TTrayIcon>(env.Window)->Icon()->isVisible());
    EXPECT_TRUE(env.Window->Action(QStringLiteral("actHide"))->isChecked());
    EXPECT_FALSE(env.Window->isVisible());
    Part<TTrayIcon>(env.Window)->Restore();
    EXPECT_FALSE(Part<TTrayIcon>(env.Window)->Icon()->isVisible());
}

// A desktop without a notification area: hiding, by the command or by the setting, only minimises
// the window, which stays on the taskbar and comes back with a restore.
TEST(TrayAndBeTest, WithoutANotificationAreaHidingMinimises)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    TTrayIcon *tray = Part<TTrayIcon>(env.Window);
    EXPECT_EQ(tray->TrayAvailable(), QSystemTrayIcon::isSystemTrayAvailable());   // the desktop's answer
    tray->TrayAvailable = [] { return false; };
    QAction *hide = env.Window->Action(QStringLiteral("actHide"));

    hide->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(tray->Icon()->isVisible());
    EXPECT_FALSE(hide->isChecked());
    EXPECT_TRUE(env.Window->isVisible());
    EXPECT_TRUE(env.Window->isMinimized());

    env.Window->showNormal();
    TavuConfig->INTOTASKTRAY = true;
    env.Window->showMinimized();
    tray->WindowMinimized();
    EXPECT_FALSE(tray->Icon()->isVisible());
    EXPECT_TRUE(env.Window->isVisible());
    EXPECT_TRUE(env.Window->isMinimized());
    env.Window->showNormal();
    EXPECT_FALSE(env.Window->isMinimized());
}

TEST(TrayAndBeTest, BeLoginCommandLogsInAndOutAndShowsIt)
{
    BoardServer server;
    KnowBeAccount(server);
    std::unique_ptr<TBe2chManager> be;
    TWindowEnv env([&](TWindowEnv &e) {
        be = BeLoginAt(server, e);
        e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
    });
    env.Start();
    QAction *login = env.Window->Action(QStringLiteral("actBe2chLogin"));
    ASSERT_TRUE(login->isEnabled());
    EXPECT_FALSE(login->isChecked());

    login->trigger();
    EXPECT_TRUE(be->IsLoggedIn());
    EXPECT_TRUE(login->isChecked());
    ASSERT_NE(be->Site, nullptr);
    EXPECT_EQ(be->Site->SITEID, QStringLiteral("2ch"));
    EXPECT_EQ(server.RequestsTo(QStringLiteral("/be/login")).size(), 1);

    login->trigger();
    EXPECT_FALSE(be->IsLoggedIn());
    EXPECT_FALSE(login->isChecked());

    server.BePassword = QStringLiteral("changed");   // a refused login leaves it unchecked and is told
    login->trigger();
    EXPECT_FALSE(be->IsLoggedIn());
    EXPECT_FALSE(login->isChecked());
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("Be にログインできませんでした。"))) << env.LogLines().join(u'\n').toStdString();
}

TEST(TrayAndBeTest, PastLogLoginIsRefusedOfflineAndTogglesOnline)
{
    BoardServer server;
    server.DolibId = QStringLiteral("user@example.jp");
    server.DolibPassword = QStringLiteral("pw");
    std::unique_ptr<TDolibManager> dolib;
    TWindowEnv env([&](TWindowEnv &e) {
        e.config->DOLIB_USERNAME = server.DolibId;
        e.config->DOLIB_PASSWORD = server.DolibPassword;
        dolib = std::make_unique<TDolibManager>();
        dolib->LoginUrl = server.Url(QStringLiteral("/futen.cgi"));
    });
    env.Start();
    QAction *login = env.Window->Action(QStringLiteral("act2chLogin"));
    login->trigger();   // the window starts offline
    EXPECT_EQ(env.Messages, QStringList{QStringLiteral("オフライン状態ではログインできません。")});
    EXPECT_FALSE(login->isChecked());
    EXPECT_TRUE(server.RequestsTo(QStringLiteral("/futen.cgi")).isEmpty());

    TavuEnviron->SetOffline(false);
    login->trigger();
    EXPECT_TRUE(dolib->IsLoggedIn());
    EXPECT_TRUE(login->isChecked());
    login->trigger();
    EXPECT_FALSE(dolib->IsLoggedIn());
    EXPECT_FALSE(login->isChecked());

    server.DolibPassword = QStringLiteral("changed");   // a refused login is told in the log pane
    login->trigger();
    EXPECT_FALSE(login->isChecked());
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("ログインに失敗しました。IDとパスワードを確かめてください。")))
        << env.LogLines().join(u'\n').toStdString();
}

TEST(TrayAndBeTest, ProfileCommandLogsInShowsTheProfileAndSavesIt)
{
    BoardServer server;
    KnowBeAccount(server);
    server.BeName = QStringLiteral("ななし");
    server.BeIntro = QStringLiteral("よろしく");
    std::unique_ptr<TBe2chManager> be;
    TWindowEnv env([&](TWindowEnv &e) {
        be = BeLoginAt(server, e);
        be->ProfileEditUrl = server.Url(QStringLiteral("/be/profile"));
    });
    env.Start();
    QString shownName;
    const Dialogs::TScopedDialogHandlers answer(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&shownName](QDialog &dialog) {
            auto *profile = qobject_cast<TBeProfileDialog *>(&dialog);
            if (!profile)
                return int(QDialog::Rejected);
            shownName = profile->NameEdit->text();
            EXPECT_EQ(profile->PointsEdit->text(), QStringLiteral("120"));
            profile->NameEdit->setText(QStringLiteral("新しい名前"));
            profile->accept();
            return int(QDialog::Accepted);
        });
    env.Window->Action(QStringLiteral("actBe2chEditProfile"))->trigger();
    EXPECT_TRUE(be->IsLoggedIn());
    EXPECT_TRUE(env.Window->Action(QStringLiteral("actBe2chLogin"))->isChecked());
    EXPECT_EQ(shownName, QStringLiteral("ななし"));
    EXPECT_EQ(server.BeName, QStringLiteral("新しい名前"));
    EXPECT_EQ(server.BeIntro, QStringLiteral("よろしく"));
}

TEST(TrayAndBeTest, GivingAPointLogsInFirstAndNeedsAThreadTab)
{
    BoardServer server;
    KnowBeAccount(server);
    std::unique_ptr<TBe2chManager> be;
    TWindowEnv env([&](TWindowEnv &e) {
        be = BeLoginAt(server, e);
        be->PointUrl = server.Url(QStringLiteral("/be/point?i=<member>&u=d:<url>"));
        e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
    });
    env.Start();
    TBeCommands commands(env.Window->Frame(), env.Window->Tabs(), env.Window->Views());
    EXPECT_FALSE(commands.BeGivePointClick(QStringLiteral("12345")));   // no thread tab: nothing
    EXPECT_TRUE(server.Requests().isEmpty());

    ASSERT_NE(StoredThread::Open(env, 1), nullptr);
    EXPECT_TRUE(commands.BeGivePointClick(QStringLiteral("12345")));
    EXPECT_TRUE(be->IsLoggedIn());
    const QList<BoardServer::Request> points = server.RequestsTo(QStringLiteral("/be/point"));
    ASSERT_EQ(points.size(), 1);
    EXPECT_TRUE(points[0].Path.startsWith("/be/point?i=12345&u=d:http%3A%2F%2F")) << points[0].Path.toStdString();
    EXPECT_TRUE(points[0].Path.contains(StoredThread::Key.toLatin1()));
}

// In the window, a right click on a Be link of a thread opens the member menu; its commands act on
// that member: the point names the thread by its browser URL, encoded, and the profile opens in a
// browser tab of the window.
TEST(TrayAndBeTest, ARightClickOnABeLinkOpensTheMemberMenuWhoseCommandsActOnThatMember)
{
    BoardServer server;
    KnowBeAccount(server);
    std::unique_ptr<TBe2chManager> be;
    TWindowEnv env([&](TWindowEnv &e) {
        be = BeLoginAt(server, e);
        be->PointUrl = server.Url(QStringLiteral("/be/point?i=<member>&u=d:<url>"));
        be->ProfileUrl = server.Url(QStringLiteral("/be/user?i=<member>&u=d:<url>"));
        e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
    });
    env.Start();
    ASSERT_NE(StoredThread::Open(env, 1), nullptr);
    TTavuBrowser *tab = env.Window->Tabs().Browsers().value(0);
    ASSERT_TRUE(tab);
    auto *menu = env.Window->findChild<QMenu *>(QStringLiteral("BePopup"));
    ASSERT_TRUE(menu);

    bool handled = false;
    emit tab->StatusTextChange(QStringLiteral("http://example.jp/"));
    emit tab->ContextMenu(QPoint(10, 10), handled);
    EXPECT_FALSE(menu->isVisible());   // not on a Be link

    emit tab->StatusTextChange(QStringLiteral("tavu://res/?be=777"));
    emit tab->ContextMenu(QPoint(10, 10), handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(tab->ClickedBe, QStringLiteral("777"));
    menu->hide();
    menu->actions().value(0)->trigger();
    const QList<BoardServer::Request> points = server.RequestsTo(QStringLiteral("/be/point"));
    ASSERT_EQ(points.size(), 1);
    const QString threadUrl = tab->ThreadItem()->BBS->GetBrowserUrl(tab->ThreadItem());
    EXPECT_TRUE(threadUrl.contains(QStringLiteral("/test/read.cgi/"))) << threadUrl.toStdString();
    EXPECT_EQ(points[0].Path, "/be/point?i=777&u=d:" + MonaUtils::UrlEncode(threadUrl).toLatin1());

    menu->actions().value(1)->trigger();
    ASSERT_EQ(env.Window->Tabs().Browsers().size(), 2);
    TTavuBrowser *profile = env.Window->Tabs().Browsers().first();
    EXPECT_EQ(profile->Title, QStringLiteral("Be プロフィール"));
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return !server.RequestsTo(QStringLiteral("/be/user")).isEmpty(); }));
    EXPECT_EQ(server.RequestsTo(QStringLiteral("/be/user")).value(0).Path,
              "/be/user?i=777&u=d:" + MonaUtils::UrlEncode(threadUrl).toLatin1());
}
