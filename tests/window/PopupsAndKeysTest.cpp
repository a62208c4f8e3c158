// A thread tab of the real window with the windows and keys around it: the picture popup makes way
// for the favourite dialog (Ctrl+D), which offers the default folder, the page's find bar (Ctrl+F)
// keeps Escape to itself, and the DAT and HTML save dialogs offer the thread's name.

#include "PostTestEnv.h"
#include "uisupport/TestPicture.h"

#include "support/ScriptedHttpServer.h"

#include "commands/PictureCommands.h"
#include "controls/BoardTree.h"
#include "controls/FindBar.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "services/FavoriteFolders.h"
#include "settings/FavoriteDialog.h"
#include "tools/PicturePopup.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");

TTavuBrowser *OpenShownThread(TPostWindowEnv &env)
{
    env.server.AddThread(News, Key, QStringLiteral("画像スレ"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("猫の画像です"));
    ItemRef ref(PostTest::NewsItem(env, Key));
    PostTest::OpenThread(env, ref.get());
    EXPECT_TRUE(WaitFor([&] { return Settled(env); }));
    env.ShowWindow();
    QApplication::setActiveWindow(env.Window());
    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == env.Window(); }));
    return env.Window()->Tabs().Browsers().value(0);
}

}  // namespace

// The popup stays on top of the window: while the favourite dialog runs it is out of the way (it
// would cover the dialog and could not be closed under it), and it comes back after. The dialog
// starts on the default folder, so its OK adds there at once.
TEST(PopupsAndKeys, ThePicturePopupMakesWayForCtrlDWhichOffersTheDefaultFolder)
{
    TPostWindowEnv env;
    TTavuBrowser *tab = OpenShownThread(env);
    ASSERT_NE(tab, nullptr);
    const TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);
    ScriptedHttpServer pictures;
    pictures.Reply(ScriptedHttpServer::Make(200, TestPicture::Png(40, 30, Qt::blue)));
    auto *commands = env.Window()->findChild<TPictureCommands *>();
    ASSERT_NE(commands, nullptr);
    emit tab->StatusTextChange(pictures.Url(QStringLiteral("/cat.png")));
    commands->PictureTimerTimer();
    TPicturePopup *popup = commands->LastPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->isVisible());

    bool okAtOnce = false, popupAway = false;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &shown) {
            auto *dialog = dynamic_cast<TFavoriteDialog *>(&shown);
            if (!dialog)
                return int(QDialog::Rejected);
            // Shown as exec() shows it: modal over the whole program.
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->show();
            popupAway = !popup->isVisible();
            okAtOnce = dialog->Button1->isEnabled();
            dialog->Button1->click();
            return dialog->result();
        });
    env.Window()->Action(QStringLiteral("actThreadAddFav"))->trigger();

    EXPECT_TRUE(popupAway);
    EXPECT_TRUE(okAtOnce);
    EXPECT_TRUE(popup->isVisible());   // back once the dialog is gone
    EXPECT_TRUE(tab->ThreadItem()->FAVORITE);
    EXPECT_TRUE(jconvert::SjisToUnicode(FileUtil::ReadFile(FavoriteFolders::FolderFile(folder))).contains(Key));
    popup->close();
}

// Ctrl+F opens the find bar over the page; Enter finds, and Escape closes the bar and nothing else:
// the window's Escape command (stopping everything) is not run.
TEST(PopupsAndKeys, EscapeInTheFindBarClosesTheFindBar)
{
    TPostWindowEnv env;
    TTavuBrowser *tab = OpenShownThread(env);
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !tab->Browser()->IsBusy() && tab->Browser()->HasDocument(); }));
    QAction *find = env.Window()->Action(QStringLiteral("actBrowserFind"));
    ASSERT_NE(find, nullptr);
    find->trigger();
    TFindBar *bar = tab->Browser()->findChild<TFindBar *>();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == bar->Edit; }));

    bar->Edit->setText(QStringLiteral("画像"));
    QTest::keyClick(env.Window()->windowHandle(), Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return !bar->Matches->text().isEmpty(); }));
    EXPECT_NE(bar->Matches->text(), QStringLiteral("0 件")) << bar->Matches->text().toStdString();

    const int linesBefore = env.env.LogLines().size();
    QTest::keyClick(env.Window()->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(env.env.LogLines().size(), linesBefore);
    EXPECT_FALSE(env.env.LogLines().contains(QStringLiteral("すべての処理を中止します。")));
}

TEST(PopupsAndKeys, TheDatAndHtmlSaveDialogsOfferTheThreadsName)
{
    TPostWindowEnv env;
    ASSERT_NE(OpenShownThread(env), nullptr);
    QStringList offered;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &shown) {
            if (auto *save = qobject_cast<QFileDialog *>(&shown))
                offered << QFileInfo(save->selectedFiles().value(0)).fileName();
            return int(QDialog::Rejected);
        });
    env.Window()->Action(QStringLiteral("actThreadOutputDat"))->trigger();
    env.Window()->Action(QStringLiteral("actThreadOutputHtml"))->trigger();
    EXPECT_EQ(offered, (QStringList{Key + QStringLiteral(".dat"), Key + QStringLiteral(".htm")}));
}
