// The tool commands: external tools start with their arguments unchanged, web-search URLs, save
// mode, the proxy switches, the log pane's typed commands and the tab buttons' middle click.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "StoredThread.h"
#include "UrlCatcher.h"

#include "commands/ToolCommands.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "settings/OptionDialog.h"
#include "settings/ShowOptionDialog.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QKeyEvent>
#include <QLineEdit>
#include <QCheckBox>
#include <QTabBar>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

namespace {

void WriteBbsTxt(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
}

template <typename Item>
QList<Item *> ItemsOf(QMenu *menu)
{
    QList<Item *> items;
    for (QAction *action : menu->actions()) {
        if (auto *item = qobject_cast<Item *>(action); item && !item->isSeparator())
            items.append(item);
    }
    return items;
}

void TypeInLog(TWindowEnv &env, const QString &line)
{
    QPlainTextEdit *log = Part<QPlainTextEdit>(env.Window, "Memo1");
    log->appendPlainText(line);
    log->moveCursor(QTextCursor::End);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(log, &enter);
}

}  // namespace

TEST(ToolCommandsTest, ToolGetsItsArgumentsUnchangedWithoutAShell)
{
    TempDataRoot scratch;
    const QString out = scratch.File(QStringLiteral("argv.out"));
    const QString tool = scratch.File(QStringLiteral("record.sh"));
    // The tool writes each argument it got, NUL-terminated, then moves the file into place.
    scratch.Write(QStringLiteral("record.sh"), "#!/bin/sh\nprintf '%s\\0' \"$@\" > argv.tmp && mv argv.tmp argv.out\n");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString arguments = QStringLiteral("\"two words\" \"\"\"quoted\"\"\" $HOME;rm `x` 'single'");

    TWindowEnv env([&](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("tool.txt"),
                       jconvert::UnicodeToSjis(QStringLiteral("記録&道具\t%1\t%2\t%3\t0\r\n")
                                                   .arg(tool, scratch.Path(), arguments)));
    });
    env.Start();
    const QList<TToolMenuItem *> tools = ItemsOf<TToolMenuItem>(Part<QMenu>(env.Window, "Tool1"));
    ASSERT_EQ(tools.size(), 1);
    EXPECT_EQ(tools[0]->text(), QStringLiteral("記録&&道具"));
    ASSERT_TRUE(tools[0]->isEnabled());
    tools[0]->trigger();

    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, WaitLimitMs));
    const QList<QByteArray> got = scratch.Read(QStringLiteral("argv.out")).split('\0');
    EXPECT_EQ(got, (QList<QByteArray>{"two words", "\"quoted\"", "$HOME;rm", "`x`", "'single'", ""}));
}

TEST(ToolCommandsTest, HandleSettingsNeedASite)
{
    TWindowEnv env;
    env.Start();
    ASSERT_GT(TavuEnviron->SiteList()->Count(), 0);   // the shipped sites
    QAction *handles = env.Window->Action(QStringLiteral("actToolHandle"));
    handles->setEnabled(false);
    emit Part<QMenu>(env.Window, "Tool1")->aboutToShow();
    EXPECT_TRUE(handles->isEnabled());
}

TEST(ToolCommandsTest, ToolArgumentsTakeTheUrlAsOneMoreArgument)
{
    const QString url = QStringLiteral("http://h/test/read.cgi/news/1?a=1&b=\"2\"");
    EXPECT_EQ(TToolCommands::ToolArguments(QStringLiteral("-x \"a b\""), url, true),
              (QStringList{QStringLiteral("-x"), QStringLiteral("a b"), url}));
    EXPECT_EQ(TToolCommands::ToolArguments(QStringLiteral("-x"), url, false), QStringList{QStringLiteral("-x")});
    EXPECT_EQ(TToolCommands::ToolArguments(QString(), QString(), true), QStringList());
}

TEST(ToolCommandsTest, EveryWebSearchEntryIsEnabled)
{
    TWindowEnv env;
    env.Start();
    const QList<TSearchEngineMenuItem *> engines =
        ItemsOf<TSearchEngineMenuItem>(Part<QMenu>(env.Window, "BrowserSelectionMenu"));
    ASSERT_FALSE(engines.isEmpty());   // the seeded search.txt
    for (const TSearchEngineMenuItem *engine : engines)
        EXPECT_TRUE(engine->isEnabled()) << engine->text().toStdString();
}

TEST(ToolCommandsTest, WebSearchOpensTheSelectionInTheDesktopBrowser)
{
    TWindowEnv env([](TWindowEnv &e) {
        WriteBbsTxt(e);
        e.WriteProfile(QStringLiteral("search.txt"),
                       jconvert::UnicodeToSjis(QStringLiteral("テスト検索=http://search.example/?q=%s&ie=EUC-JP\r\n")));
    });
    env.Start();
    TavuConfig->URL_OPENINVARNELO = 1;   // pages open outside
    TavuConfig->URL_EXECDEFAULTBROWSER = true;
    TTavuBrowser *tab = StoredThread::Open(env, 1);
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            tab->Browser()->page()->runJavaScript(
                QStringLiteral("window.getSelection().selectAllChildren(document.body)"),
                QWebEngineScript::ApplicationWorld);
            return tab->GetSelectedText().contains(QStringLiteral("本文その1"));
        },
        WaitLimitMs));
    const QList<TSearchEngineMenuItem *> engines =
        ItemsOf<TSearchEngineMenuItem>(Part<QMenu>(env.Window, "BrowserSelectionMenu"));
    ASSERT_EQ(engines.size(), 1);

    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "Open");
    engines[0]->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(catcher.Urls.size(), 1);
    const QString opened = catcher.Urls[0].toString(QUrl::FullyEncoded);
    EXPECT_TRUE(opened.startsWith(QStringLiteral("http://search.example/?q="))) << opened.toStdString();
    EXPECT_TRUE(opened.contains(QString::fromLatin1(jconvert::UnicodeToEuc(QStringLiteral("本文その1")).toPercentEncoding())))
        << opened.toStdString();
    EXPECT_TRUE(opened.endsWith(QStringLiteral("&ie=EUC-JP")));
}

TEST(ToolCommandsTest, SaveModeAsksBeforeTurningOff)
{
    TWindowEnv env;
    env.Start();
    QAction *saveMode = env.Window->Action(QStringLiteral("actSaveMode"));
    ASSERT_TRUE(saveMode->isEnabled());
    ASSERT_TRUE(saveMode->isChecked());
    TavuConfig->SAVEMODE_WARNING = true;

    env.Answer = Dialogs::mrNo;
    saveMode->trigger();
    EXPECT_TRUE(saveMode->isChecked());
    EXPECT_TRUE(TavuConfig->CACHED);
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages[0].startsWith(QStringLiteral("保存モードをオフにしますか？")));

    env.Answer = Dialogs::mrYes;
    saveMode->trigger();
    EXPECT_FALSE(saveMode->isChecked());
    EXPECT_FALSE(TavuConfig->CACHED);

    saveMode->trigger();   // turning it on never asks
    EXPECT_TRUE(TavuConfig->CACHED);
    TavuConfig->SAVEMODE_WARNING = false;
    saveMode->trigger();
    EXPECT_FALSE(TavuConfig->CACHED);
    EXPECT_EQ(env.Messages.size(), 2);
}

// The online switch shows its picture greyed while offline.
TEST(ToolCommandsTest, OnlineSwitchShowsTheStateInItsPicture)
{
    TWindowEnv env;
    env.Start();   // offline
    QAction *online = env.Window->Action(QStringLiteral("actOnline"));
    ASSERT_FALSE(online->isChecked());
    const QImage offline = online->icon().pixmap(16, 16).toImage();
    online->trigger();
    EXPECT_FALSE(TavuEnviron->IsOffline());
    const QImage on = online->icon().pixmap(16, 16).toImage();
    EXPECT_NE(on, offline);
    EXPECT_EQ(on, env.Window->Services().Frame().ActionImages().value(imgOnline).pixmap(16, 16).toImage());
    online->trigger();
    EXPECT_EQ(online->icon().pixmap(16, 16).toImage(), offline);
}

TEST(ToolCommandsTest, ProxySwitchesNeedAHost)
{
    TWindowEnv env;
    env.Start();
    QAction *read = env.Window->Action(QStringLiteral("actToolUseReadProxy"));
    QAction *send = env.Window->Action(QStringLiteral("actToolUseSendProxy"));
    TavuConfig->PROXY_HOST.clear();
    read->trigger();
    EXPECT_FALSE(TavuConfig->PROXY_USE);
    EXPECT_FALSE(read->isChecked());

    TavuConfig->PROXY_HOST = QStringLiteral("proxy.example");
    read->trigger();
    EXPECT_TRUE(TavuConfig->PROXY_USE);
    EXPECT_TRUE(read->isChecked());
    EXPECT_FALSE(TavuConfig->SEND_PROXY_USE);

    TavuConfig->SEND_PROXY_HOST = QStringLiteral("proxy.example");
    send->trigger();
    send->trigger();
    EXPECT_FALSE(TavuConfig->SEND_PROXY_USE);
    EXPECT_FALSE(send->isChecked());
}

// Turning a proxy on or off in the option dialog shows at once in its switch, in the tools menu and
// on every bar; a click on the switch then turns it the other way from what it shows.
TEST(ToolCommandsTest, ProxySwitchesShowWhatTheOptionDialogStored)
{
    TWindowEnv env;
    env.Start();
    QAction *read = env.Window->Action(QStringLiteral("actToolUseReadProxy"));
    QAction *send = env.Window->Action(QStringLiteral("actToolUseSendProxy"));
    ASSERT_FALSE(read->isChecked());
    const auto confirm = [](bool readOn, bool sendOn) {
        return [readOn, sendOn](QDialog &dialog) {
            auto &options = dynamic_cast<TOptionDialog &>(dialog);
            options.ProxyTab->setCurrentIndex(0);
            options.ProxyAddress->setText(QStringLiteral("read.example"));
            options.UseProxy->setChecked(readOn);
            options.ProxyTab->setCurrentIndex(1);
            options.ProxyAddress->setText(QStringLiteral("post.example"));
            options.UseProxy->setChecked(sendOn);
            options.BitBtn1Click();
        };
    };
    {
        TDialogAnswers answers(env, confirm(true, true));
        ASSERT_TRUE(env.Window->ShowOptions(0));
    }
    EXPECT_TRUE(TavuConfig->PROXY_USE);
    EXPECT_TRUE(read->isChecked());
    EXPECT_TRUE(send->isChecked());
    read->trigger();
    EXPECT_FALSE(TavuConfig->PROXY_USE);
    EXPECT_FALSE(read->isChecked());
    {
        TDialogAnswers answers(env, confirm(true, false));
        ASSERT_TRUE(env.Window->ShowOptions(0));
    }
    EXPECT_TRUE(read->isChecked());
    EXPECT_FALSE(send->isChecked());

    // Changed by any other way, the switch shows the stored value when the tools menu opens.
    TavuConfig->PROXY_USE = false;
    emit Part<QMenu>(env.Window, "Tool1")->aboutToShow();
    EXPECT_FALSE(read->isChecked());
}

TEST(ToolCommandsTest, LogCommandParser)
{
    using C = TToolCommands::TLogCommand;
    auto parse = [](const char *text) { return TToolCommands::ParseLogCommand(QString::fromUtf8(text)); };
    EXPECT_EQ(parse("5").Kind, C::lcPopup);
    EXPECT_EQ(parse("5").Number, 5);
    EXPECT_EQ(parse("  go 12 ").Kind, C::lcGo);
    EXPECT_EQ(parse("GO 12").Number, 12);
    EXPECT_EQ(parse("ｇｏ　３").Kind, C::lcGo);   // full width
    EXPECT_EQ(parse("１０").Number, 10);
    for (const char *other : {"", "go", "go5x", "5 6", "abc", "-3", "99999999999999999999"})
        EXPECT_EQ(parse(other).Kind, C::lcNone) << other;
}

TEST(ToolCommandsTest, LogPaneNumbersPopUpOrGoToEveryPostOfTheThread)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    TTavuBrowser *tab = StoredThread::Open(env, 3);
    ASSERT_NE(tab, nullptr);

    TypeInLog(env, QStringLiteral("3"));   // the last post too
    EXPECT_TRUE(env.Window->Services().Views().HintWindow()->Html().contains(QStringLiteral("本文その3")));
    EXPECT_FALSE(env.Window->Services().Views().HintWindow()->Html().contains(QStringLiteral("本文その2")));

    TypeInLog(env, QStringLiteral("2"));
    EXPECT_TRUE(env.Window->Services().Views().HintWindow()->Html().contains(QStringLiteral("本文その2")));
    TypeInLog(env, QStringLiteral("4"));   // no such post: the popup stays as it was
    EXPECT_TRUE(env.Window->Services().Views().HintWindow()->Html().contains(QStringLiteral("本文その2")));

    tab->ResList()->Get(1)->Erased = true;
    TypeInLog(env, QStringLiteral("go 2"));
    EXPECT_EQ(env.Messages.value(0), QStringLiteral("指定のレスは消去されています。"));
    tab->ResList()->Get(1)->Erased = false;
    tab->ResList()->Get(1)->Hidden = true;
    TypeInLog(env, QStringLiteral("go 2"));
    EXPECT_EQ(env.Messages.value(1), QStringLiteral("指定のレスはNGワードです。"));
    tab->ResList()->Get(0)->Visible = false;
    TypeInLog(env, QStringLiteral("go 1"));   // not in the view: it pops up
    EXPECT_TRUE(env.Window->Services().Views().HintWindow()->Html().contains(QStringLiteral("本文その1")));
    EXPECT_EQ(env.Messages.size(), 2);
}

// Enter in the log pane hands the line to the subscribers in their order: the tool commands take a
// post number first, a later subscriber sees it taken; a line nobody takes reaches the pane.
TEST(ToolCommandsTest, LogPaneLinesGoToTheSubscribersUntilOneTakesThem)
{
    TWindowEnv env;
    env.Start();
    QStringList heard;   // each line as the later subscriber found it
    QObject subscriber;
    QObject::connect(&env.Window->Services().Frame().Events(), &TWindowEvents::LogLineEntered, &subscriber,
                     [&heard](const QString &line, bool *taken) {
                         heard << line + (*taken ? QStringLiteral(":taken") : QString());
                         if (line == QStringLiteral("mine"))
                             *taken = true;
                     });
    const auto reachedPane = [&env] { return Part<QPlainTextEdit>(env.Window, "Memo1")->toPlainText().endsWith(QLatin1Char('\n')); };

    TypeInLog(env, QStringLiteral("5"));
    EXPECT_FALSE(reachedPane());
    TypeInLog(env, QStringLiteral("mine"));
    EXPECT_FALSE(reachedPane());
    TypeInLog(env, QStringLiteral("hello"));
    EXPECT_TRUE(reachedPane());
    EXPECT_EQ(heard, QStringList({QStringLiteral("5:taken"), QStringLiteral("mine"), QStringLiteral("hello")}));
}

TEST(ToolCommandsTest, MiddleClickOnABoardTabFollowsWheelClick)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    TBoard *board = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch"))->Boards->FindByID(QStringLiteral("news"));
    ASSERT_NE(board, nullptr);
    env.Window->ListPane().StartThreadListDownload(board, false, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return env.Window->BusyCount() == 0; }, WaitLimitMs));
    ASSERT_EQ(env.Window->Tabs().ListDocs().size(), 1);
    auto *button = qobject_cast<TTavuToolButton *>(env.Window->Tabs().ListDocs()[0]->TabButton);
    ASSERT_NE(button, nullptr);
    QSignalSpy reloads(env.Window->Action(QStringLiteral("actThreadListReload")), &QAction::triggered);

    TavuConfig->THREADTAB_WHEELCLICK = 0;
    QTest::mouseClick(button, Qt::MiddleButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return env.Window->BusyCount() == 0; }, WaitLimitMs));
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(env.Window->Tabs().ListDocs().size(), 1);

    TavuConfig->THREADTAB_WHEELCLICK = 1;
    button = qobject_cast<TTavuToolButton *>(env.Window->Tabs().ListDocs()[0]->TabButton);
    QTest::mouseClick(button, Qt::MiddleButton);
    EXPECT_TRUE(env.Window->Tabs().ListDocs().isEmpty());
}
