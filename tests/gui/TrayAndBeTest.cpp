// The notification-area icon (shown while the window is in the tray, by the setting or by actHide)
// and the Be account's login command against a local server.

#include "support/BoardServer.h"

#include "WindowTestEnv.h"

#include "boards/Be2chManager.h"
#include "core/Site.h"
#include "commands/TrayIcon.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>

TEST(TrayAndBeTest, MinimisingGoesToTheTrayOnlyWhenTheSettingSaysSo)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    TTrayIcon *tray = env.Window->TrayIcon;
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
    TavuConfig->INTOTASKTRAY = false;
    env.Window->Action(QStringLiteral("actHide"))->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(env.Window->TrayIcon->Icon()->isVisible());
    EXPECT_TRUE(env.Window->Action(QStringLiteral("actHide"))->isChecked());
    EXPECT_FALSE(env.Window->isVisible());
    env.Window->TrayIcon->Restore();
    EXPECT_FALSE(env.Window->TrayIcon->Icon()->isVisible());
}

TEST(TrayAndBeTest, BeLoginCommandLogsInAndOutAndShowsIt)
{
    BoardServer server;
    server.BeMail = QStringLiteral("me@example.jp");
    server.BePassword = QStringLiteral("secret");
    std::unique_ptr<TBe2chManager> be;
    TWindowEnv env([&](TWindowEnv &e) {
        be = std::make_unique<TBe2chManager>();
        be->LoginUrl = server.Url(QStringLiteral("/be/login"));
        e.config->BE_USERNAME = server.BeMail;
        e.config->BE_PASSWORD = server.BePassword;
        e.config->BE_SHOWDIALOG = false;
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

    server.BePassword = QStringLiteral("changed");   // a refused login leaves it unchecked
    login->trigger();
    EXPECT_FALSE(be->IsLoggedIn());
    EXPECT_FALSE(login->isChecked());
}
