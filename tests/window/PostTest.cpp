// Posting end to end through the main window against the board server: a reply with quotes through
// the write confirmation, the thread reopened with the new response, the histories; an error page
// shown safely with the composer kept; a send while offline; a new thread and its list reloaded.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "services/ComposerFiles.h"
#include "tools/ErrorDialog.h"
#include "tools/NewThreadDialog.h"
#include "tools/SendDialog.h"

#include "core/FileUtil.h"
#include "core/ResList.h"
#include "core/ThreadItemList.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>

using PostTest::AddThread;
using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");

QString Memo1Text(TPostWindowEnv &env)
{
    return Part<QPlainTextEdit>(env.Window(), "Memo1")->toPlainText();
}

QStringList LogLines(TPostWindowEnv &env)
{
    return Memo1Text(env).split(QLatin1Char('\n'));
}

// Opens the thread in a new tab and waits until it is shown whole.
TTavuBrowser *OpenThread(TPostWindowEnv &env, const QString &key)
{
    ItemRef item(new TThreadItem);
    item->SetLocation(QStringLiteral("test"), News, key, QString());
    item->DownloadRequest = true;
    env.Window()->OpenThread(item.get(), false, true, true, 0, false, QString());
    TTavuBrowser *tab = nullptr;
    const int responses = env.server.ResCount(News, key);
    WaitFor([&] {
        return env.Window()->Tabs().GetActiveBrowser(tab) && tab->DownloadState == TTavuBrowser::dsIdle && tab->ResList()
               && tab->ResList()->Count() == responses;
    });
    return tab;
}

// The composer the window opened last.
template <class Composer>
Composer *OpenedComposer(TPostWindowEnv &env)
{
    const QList<Composer *> composers = env.Window()->findChildren<Composer *>();
    return composers.isEmpty() ? nullptr : composers.last();
}

}  // namespace

TEST(PostFlow, AReplyQuotesGoesThroughTheConfirmationAndReopensTheThread)
{
    TPostWindowEnv env;
    env.server.Confirmation = true;
    AddThread(env.server, News, Key, 2);
    TTavuBrowser *tab = OpenThread(env, Key);
    ASSERT_TRUE(tab);
    const qint64 sent = TavuConfig->VOZADAZOZ_SEND_COUNT;

    // Response 2 ticked in the page: the reply quotes it.
    emit tab->Browser()->ResCheckChanged(2, true);
    QAction *write = env.Window()->Action(QStringLiteral("actThreadWriteRes"));
    ASSERT_TRUE(write->isEnabled());
    write->trigger();
    QPointer<TSendDialog> composer = OpenedComposer<TSendDialog>(env);
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->SenderBody->toPlainText(), QStringLiteral(">2\n>本文2\n "));
    composer->SenderName->setEditText(QStringLiteral("書いた人"));
    composer->SenderMail->setEditText(QString());
    composer->SenderBody->appendPlainText(QStringLiteral("お返事です"));
    composer->actSend->trigger();

    ASSERT_TRUE(WaitFor([&] { return composer.isNull(); }));
    // The server asked for confirmation once and then took the post.
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/test/bbs.cgi")).size(), 2);
    ASSERT_EQ(env.server.ResCount(News, Key), 3);
    EXPECT_EQ(env.server.Res(News, Key, 3).value(0), QStringLiteral("書いた人"));
    const QStringList lines = LogLines(env);
    const QString target = QStringLiteral("スレ%1／ニュース＠テスト").arg(Key);
    EXPECT_TRUE(lines.contains(QStringLiteral("▽書き込み開始 →") + target));
    EXPECT_TRUE(lines.contains(QStringLiteral("△書き込み完了 →") + target));

    // The thread reloads in the same tab and shows the new response.
    ASSERT_TRUE(WaitFor([&] { return tab->ResList() && tab->ResList()->Count() == 3 && tab->DownloadState == TTavuBrowser::dsIdle; }));
    EXPECT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    TThreadItem *item = tab->ThreadItem();
    EXPECT_EQ(item->SEND_COUNT, 1);
    EXPECT_FALSE(item->LAST_SENT.isEmpty());
    EXPECT_EQ(TavuConfig->VOZADAZOZ_SEND_COUNT, sent + 1);
    EXPECT_TRUE(FileUtil::ReadFile(item->GetLogFile()).contains(jconvert::UnicodeToSjis(QStringLiteral("お返事です"))));

    // The histories record the post.
    const QStringList history = ComposerFiles::LoadLines(QStringLiteral("sendhist.txt"));
    ASSERT_FALSE(history.isEmpty());
    EXPECT_TRUE(history[0].contains(Key));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::NameLogFile()).value(0), QStringLiteral("書いた人"));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::SendLogFile()).value(1), QStringLiteral("スレ名：スレ") + Key);
    EXPECT_EQ(env.Window()->BusyCount(), 0);
}

TEST(PostFlow, AnErrorPageIsShownSafelyAndTheComposerKeepsItsText)
{
    TPostWindowEnv env;
    env.server.ErrorOnPost = true;
    AddThread(env.server, News, Key, 1);
    TTavuBrowser *tab = OpenThread(env, Key);
    ASSERT_TRUE(tab);

    QString pageFile;
    QString pageText;
    bool refused = false;
    Dialogs::TScopedDialogHandlers handlers(
        [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            env.env.Messages << text;
            return Dialogs::mrYes;
        },
        [&](QDialog &dialog) {
            auto *error = qobject_cast<TErrorDialog *>(&dialog);
            if (!error)
                return int(QDialog::Rejected);
            pageFile = error->PageFile();
            pageText = QString::fromUtf8(FileUtil::ReadFile(pageFile));
            // The server's page cannot take the window anywhere: the navigation is refused when
            // the page asks for it.
            const QUrl elsewhere(env.server.Url(QStringLiteral("/elsewhere")));
            bool asked = false;
            QObject::connect(error->WebBrowser1, &TEmbeddedWB::BeforeNavigate, error,
                             [&](const QUrl &url, bool &cancel) {
                                 if (url == elsewhere) {
                                     asked = true;
                                     refused = cancel;
                                 }
                             });
            error->WebBrowser1->Navigate(elsewhere.toString());
            EXPECT_TRUE(WaitFor([&] { return asked; }));
            return int(QDialog::Accepted);
        });

    env.Window()->Action(QStringLiteral("actThreadWrite"))->trigger();
    QPointer<TSendDialog> composer = OpenedComposer<TSendDialog>(env);
    ASSERT_TRUE(composer);
    composer->SenderName->setEditText(QStringLiteral("名無し"));
    composer->SenderBody->setPlainText(QStringLiteral("消えてはならない文"));
    composer->actSend->trigger();
    ASSERT_TRUE(WaitFor([&] { return !pageFile.isEmpty() && composer && composer->isVisible(); }));

    EXPECT_TRUE(pageFile.startsWith(TavuConfig->GetTempDir() + QStringLiteral("Error-")));
    EXPECT_TRUE(pageText.contains(QStringLiteral("ＥＲＲＯＲ：書き込めません。")));
    EXPECT_FALSE(QFile::exists(pageFile));   // deleted once the window closed
    EXPECT_TRUE(refused);
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/elsewhere")).isEmpty());
    EXPECT_EQ(composer->SenderBody->toPlainText(), QStringLiteral("消えてはならない文"));
    EXPECT_EQ(composer->Sending, 0);
    EXPECT_TRUE(LogLines(env).contains(QStringLiteral("△書き込みエラー →スレ%1／ニュース＠テスト").arg(Key)));
    // The line under it says what the server refused, not only that its page is an error page.
    EXPECT_TRUE(LogLines(env).contains(QStringLiteral("→200:ＥＲＲＯＲ：書き込めません。")));
    EXPECT_EQ(tab->DownloadState, TTavuBrowser::dsIdle);
    EXPECT_EQ(env.Window()->BusyCount(), 0);
    // The post log and the handle history were written before the post went: the refused text
    // is kept there.
    EXPECT_TRUE(FileUtil::ReadFile(env.env.Profile(ComposerFiles::SendLogFile()))
                    .contains(jconvert::UnicodeToSjis(QStringLiteral("消えてはならない文"))));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::NameLogFile()), QStringList({QStringLiteral("名無し")}));

    // Sent while offline: refused, and the composer comes back with the text.
    TavuEnviron->SetOffline(true);
    env.env.Messages.clear();
    composer->actSend->trigger();
    EXPECT_EQ(env.env.Messages, QStringList({QStringLiteral("オフライン状態では実行できません。")}));
    EXPECT_TRUE(composer->isVisible());
    EXPECT_EQ(composer->SenderBody->toPlainText(), QStringLiteral("消えてはならない文"));
    composer->SenderBody->clear();
    composer->close();
}

// Most boards have no local rules: a composer opened with its preview asks for them once, and their
// absence is one line in the log pane, never a message box.
TEST(PostFlow, ABoardWithoutLocalRulesIsOneQuietLineInTheLog)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        e.config->SENDWIN_PREVIEW = true;
        const QString site = QStringLiteral("config/site/test/site.ini");
        e.Root.Write(site, e.Root.Read(site).replace("[INCLUDE]", "LOCALRULE=http://<host>/<bbs>/head.txt\r\n[INCLUDE]"));
    });
    AddThread(env.server, News, Key, 1);
    ASSERT_TRUE(OpenThread(env, Key));
    env.env.Messages.clear();

    env.Window()->Action(QStringLiteral("actThreadWrite"))->trigger();
    QPointer<TSendDialog> composer = OpenedComposer<TSendDialog>(env);
    ASSERT_TRUE(composer);
    composer->PageControl1->setCurrentIndex(2);   // the local-rule page asks nothing more
    composer->PageControl1->setCurrentIndex(0);

    EXPECT_TRUE(env.env.Messages.isEmpty());
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/news/head.txt")).size(), 1);
    EXPECT_EQ(LogLines(env).filter(QStringLiteral("ローカルルール")),
              QStringList({QStringLiteral("・ローカルルールを取得できませんでした →ファイルが見つかりませんでした。(HTTP 404)")}));
    composer->close();
}

TEST(PostFlow, APostLogThatCannotBeWrittenStillEndsTheSentPost)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 1);
    TTavuBrowser *tab = OpenThread(env, Key);
    ASSERT_TRUE(tab);
    ASSERT_TRUE(QDir().mkpath(env.env.Profile(ComposerFiles::SendLogFile())));   // a folder in the file's place

    env.Window()->Action(QStringLiteral("actThreadWrite"))->trigger();
    QPointer<TSendDialog> composer = OpenedComposer<TSendDialog>(env);
    ASSERT_TRUE(composer);
    composer->SenderName->setEditText(QStringLiteral("書いた人"));
    composer->SenderBody->setPlainText(QStringLiteral("届く文"));
    composer->actSend->trigger();

    ASSERT_TRUE(WaitFor([&] { return composer.isNull(); }));
    EXPECT_EQ(env.server.ResCount(News, Key), 2);
    EXPECT_TRUE(LogLines(env).contains(QStringLiteral("△書き込み完了 →スレ%1／ニュース＠テスト").arg(Key)));
    EXPECT_TRUE(Memo1Text(env).contains(ComposerFiles::SendLogFile()));
    // The rest of the post's end still ran: the history, and the thread reloaded.
    EXPECT_FALSE(ComposerFiles::LoadLines(QStringLiteral("sendhist.txt")).isEmpty());
    ASSERT_TRUE(WaitFor([&] { return tab->ResList() && tab->ResList()->Count() == 2 && tab->DownloadState == TTavuBrowser::dsIdle; }));
    EXPECT_EQ(env.Window()->BusyCount(), 0);
}

TEST(PostFlow, ANewThreadIsPostedAndTheThreadListReloaded)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 1);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        return env.Window()->Tabs().GetActiveListDoc(doc) && doc->DownloadState == TTavuListDoc::dsIdle && doc->Items()->Count() == 1;
    }));
    const qint64 threads = TavuConfig->VOZADAZOZ_NEWTHREAD_COUNT;

    env.Window()->Action(QStringLiteral("actThreadListNewThread"))->trigger();
    QPointer<TNewThreadDialog> composer = OpenedComposer<TNewThreadDialog>(env);
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->windowTitle(), QStringLiteral("ニュース-スレッドをたてる"));
    composer->Title->setText(QStringLiteral("新しいスレ"));
    composer->SenderName->setEditText(QStringLiteral("立てた人"));
    composer->SenderBody->setPlainText(QStringLiteral("よろしく"));
    composer->actSend->trigger();

    ASSERT_TRUE(WaitFor([&] { return composer.isNull(); }));
    ASSERT_TRUE(WaitFor([&] { return doc->DownloadState == TTavuListDoc::dsIdle && doc->Items()->Count() == 2; }));
    const QStringList keys = env.server.ThreadKeys(News);
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(env.server.Title(News, keys[0]), QStringLiteral("新しいスレ"));
    EXPECT_TRUE(LogLines(env).contains(QStringLiteral("△新スレ完了 →ニュース＠テスト")));
    EXPECT_EQ(TavuConfig->VOZADAZOZ_NEWTHREAD_COUNT, threads + 1);
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::ThreadLogFile()).value(1), QStringLiteral("スレ名：新しいスレ"));
    EXPECT_EQ(env.Window()->BusyCount(), 0);
}

TEST(PostFlow, ARefusedNewThreadBringsTheComposerBack)
{
    TPostWindowEnv env;
    env.server.ErrorOnPost = true;
    AddThread(env.server, News, Key, 1);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(WaitFor([&] { return env.Window()->Tabs().GetActiveListDoc(doc) && doc->DownloadState == TTavuListDoc::dsIdle; }));
    env.Window()->Action(QStringLiteral("actThreadListNewThread"))->trigger();
    QPointer<TNewThreadDialog> composer = OpenedComposer<TNewThreadDialog>(env);
    ASSERT_TRUE(composer);
    composer->Title->setText(QStringLiteral("立たないスレ"));
    composer->SenderBody->setPlainText(QStringLiteral("本文"));
    composer->actSend->trigger();
    ASSERT_TRUE(WaitFor([&] { return composer && composer->isVisible(); }));
    EXPECT_EQ(composer->Title->text(), QStringLiteral("立たないスレ"));
    EXPECT_TRUE(LogLines(env).contains(QStringLiteral("△スレたてエラー →ニュース＠テスト")));
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_FALSE(QFile::exists(env.env.Profile(ComposerFiles::ThreadLogFile())));
    composer->SenderBody->clear();
    composer->close();
}
