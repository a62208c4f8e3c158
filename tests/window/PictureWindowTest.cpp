// The picture, link and memo commands in the real main window.

#include "WindowParts.h"
#include "PostTestEnv.h"
#include "uisupport/TestPicture.h"

#include "support/ScriptedHttpServer.h"

#include "commands/PictureCommands.h"
#include "net/TavuHttpList.h"
#include "render/TavuBrowser.h"
#include "tools/AAEditor.h"
#include "tools/DebugForm.h"
#include "tools/ExtractLinkDialog.h"
#include "tools/MemoForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTreeWidget>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");

// Opens a thread whose responses carry a picture link and a page link.
TTavuBrowser *OpenThreadWithLinks(TPostWindowEnv &env)
{
    env.server.AddThread(News, Key, QStringLiteral("画像スレ"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("http://pics.example/a.jpg"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("見て ttp://pages.example/p.html"));
    ItemRef ref(PostTest::NewsItem(env, Key));
    PostTest::OpenThread(env, ref.get());
    EXPECT_TRUE(WaitFor([&] { return Settled(env); }));
    return env.Window()->Tabs().Browsers().value(0);
}

}  // namespace

TEST(PictureWindowTest, LinkExtractionMemoAndAAEditorOpenFromTheirCommands)
{
    TPostWindowEnv env;
    ASSERT_NE(OpenThreadWithLinks(env), nullptr);

    env.Window()->Action(QStringLiteral("actThreadExtractLink"))->trigger();
    auto *dialog = env.Window()->findChild<TExtractLinkDialog *>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(dialog->ListView1->topLevelItem(0)->text(2), QStringLiteral("http://pics.example/a.jpg"));
    EXPECT_EQ(dialog->ListView1->topLevelItem(1)->text(2), QStringLiteral("http://pages.example/p.html"));
    dialog->close();

    bool sawEditor = false;
    {
        Dialogs::TScopedDialogHandlers answers(nullptr, [&sawEditor](QDialog &shown) {
            sawEditor = qobject_cast<TAAEditor *>(&shown) != nullptr;
            return int(QDialog::Rejected);
        });
        env.Window()->Action(QStringLiteral("actToolAA"))->trigger();
    }
    EXPECT_TRUE(sawEditor);

    env.Window()->Action(QStringLiteral("actToolMemo"))->trigger();
    auto *memo = env.Window()->findChild<TMemoForm *>();
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isVisible());
    env.Window()->Action(QStringLiteral("actToolMemo"))->trigger();
    EXPECT_EQ(env.Window()->findChildren<TMemoForm *>().size(), 1);   // made once, shown again
}

TEST(PictureWindowTest, ADoubleClickOnTheTraceOpensTheMonitorOfTheBoardTab)
{
    TPostWindowEnv env;
    env.server.AddThread(News, Key, QStringLiteral("一覧のスレ"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("本文"));
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    ASSERT_FALSE(env.Window()->Tabs().ListDocs().isEmpty());

    QWidget *trace = Part<QPlainTextEdit>(env.Window(), "Memo3")->viewport();
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), trace->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(trace, &click);
    auto *monitor = env.Window()->findChild<TDebugForm *>();
    ASSERT_NE(monitor, nullptr);
    ASSERT_EQ(monitor->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(monitor->ListView1->topLevelItem(0)->text(1), QStringLiteral("一覧のスレ"));
    monitor->close();
}

TEST(PictureWindowTest, HoveringAPictureLinkOpensThePopupAfterTheDelay)
{
    TPostWindowEnv env;
    TTavuBrowser *tab = OpenThreadWithLinks(env);
    ASSERT_NE(tab, nullptr);
    ScriptedHttpServer pictures;
    pictures.Reply(ScriptedHttpServer::Make(200, TestPicture::Png(200, 100, Qt::blue)));

    auto *commands = env.Window()->findChild<TPictureCommands *>();
    ASSERT_NE(commands, nullptr);
    emit tab->StatusTextChange(QStringLiteral("http://pages.example/p.html"));
    EXPECT_FALSE(commands->PictureTimer.isActive());
    const QString url = pictures.Url(QStringLiteral("/shot.png"));
    emit tab->StatusTextChange(url);
    ASSERT_TRUE(commands->PictureTimer.isActive());
    EXPECT_EQ(commands->PictureTimer.interval(), TPictureCommands::PopupDelay);

    env.Window()->show();
    QApplication::setActiveWindow(env.Window());
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == env.Window(); }));
    commands->PictureTimerTimer();
    TPicturePopup *popup = commands->LastPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !popup->Image1->pixmap().isNull(); }));
    EXPECT_EQ(popup->Image1->pixmap().size(), QSize(200, 100));
    popup->close();
}

// The picture popup follows the settings the option dialog changes: switched off, a hover starts
// nothing; with "[CTRL] キーを押している場合だけ有効にする" on, the delay ends without a popup while
// Control is not held.
TEST(PictureWindowTest, ThePopupFollowsTheSettingsOfTheConfiguration)
{
    TPostWindowEnv env;
    TTavuBrowser *tab = OpenThreadWithLinks(env);
    ASSERT_NE(tab, nullptr);
    auto *commands = env.Window()->findChild<TPictureCommands *>();
    ASSERT_NE(commands, nullptr);
    const QString url = QStringLiteral("http://pics.example/a.jpg");

    TavuConfig->JPEGPOPUP = false;
    emit tab->StatusTextChange(url);
    EXPECT_FALSE(commands->PictureTimer.isActive());

    TavuConfig->JPEGPOPUP = true;
    TavuConfig->JPEGPOPUP_CTRL = true;
    emit tab->StatusTextChange(url);
    ASSERT_TRUE(commands->PictureTimer.isActive());
    env.Window()->show();
    QApplication::setActiveWindow(env.Window());
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == env.Window(); }));
    ASSERT_FALSE(QApplication::keyboardModifiers() & Qt::ControlModifier);
    commands->PictureTimerTimer();
    EXPECT_EQ(commands->LastPopup(), nullptr);
}
