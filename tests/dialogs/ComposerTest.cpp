// The reply and new-thread composers, the handle dialog and the URL dialog, without a main window.

#include "uisupport/PostEnv.h"

#include "support/ScriptedHttpServer.h"

#include "services/ComposerFiles.h"
#include "tools/HandleDialog.h"
#include "tools/NewThreadDialog.h"
#include "tools/PreviewWindow.h"
#include "tools/SendDialog.h"
#include "tools/UrlDialog.h"

#include "core/BBSList.h"
#include "core/FileUtil.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TextList.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using PostTest::ItemRef;
using PostTest::News;

namespace {

const QString Key = QStringLiteral("1000000001");

QStringList Items(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void WriteLines(const TPostEnv &env, const QString &name, const QStringList &lines)
{
    TTextList(lines).SaveToFile(env.Profile(name));
}

// A composer for the thread, ready to be shown without its preview.
std::unique_ptr<TSendDialog> Composer(TPostEnv &env, TThreadItem *item)
{
    env.config->SENDWIN_PREVIEW = false;
    auto composer = std::make_unique<TSendDialog>();
    composer->setAttribute(Qt::WA_DeleteOnClose, false);
    composer->SetThread(item);
    return composer;
}

}  // namespace

TEST(Composer, PreparationTakesHandlesFromEverySourceInOrder)
{
    TPostEnv env;
    env.config->GLOBALHANDLE = QStringLiteral("既定");
    env.config->GLOBALMAIL = QStringLiteral("default@");
    WriteLines(env, ComposerFiles::NameLogFile(), {QStringLiteral("履歴1"), QStringLiteral("履歴2")});
    WriteLines(env, ComposerFiles::HandleFile(), {QStringLiteral("test_news_HANDLE=板の名")});   // no MAIL line
    WriteLines(env, ComposerFiles::ThreadHandleFile(), {QStringLiteral("\tnever\tnever"),
                                                        QStringLiteral("質問\tスレの名\t")});
    const QString identity = QStringLiteral("test_news_") + Key;
    WriteLines(env, ComposerFiles::SendNameFile(), {identity + QStringLiteral("\t前の名\tSAGE\t0\t0\t0"),
                                                    QStringLiteral("test_news_999\t他\tx\t1\t1\t1"),
                                                    identity + QStringLiteral("\t最後の名\tSAGE\t0\t1\t0")});
    ItemRef item(env.NewItem(News, Key, QStringLiteral("質問スレ")));
    auto composer = Composer(env, item.get());

    EXPECT_EQ(composer->windowTitle(), QStringLiteral("質問スレ に書き込み"));
    EXPECT_EQ(composer->SenderName->currentText(), QStringLiteral("最後の名"));
    EXPECT_EQ(composer->SenderMail->currentText(), QStringLiteral("SAGE"));
    // Each source put its name first in turn; the history keeps the rest in its order.
    EXPECT_EQ(Items(composer->SenderName),
              QStringList({QStringLiteral("最後の名"), QStringLiteral("前の名"), QStringLiteral("スレの名"),
                           QStringLiteral("板の名"), QStringLiteral("既定"), QStringLiteral("履歴1"), QStringLiteral("履歴2")}));
    // The remembered line unchecked SAGE; the mail "SAGE" (any case) checks it again.
    EXPECT_TRUE(composer->actSage->isChecked());
    EXPECT_TRUE(composer->GetSage());
    // The board type allows neither PRE nor fixed width: a remembered "1" stays ineffective.
    EXPECT_TRUE(composer->actPre->isChecked());
    EXPECT_FALSE(composer->GetPre());
    EXPECT_FALSE(composer->GetTouhaba());
}

TEST(Composer, SwitchesFollowTheBoardTypeOnEveryPage)
{
    TPostEnv env;
    TBBS *type = env.Board(News)->BBS;
    type->ResFlags = TBBS::RES_PRE;   // no SAGE
    WriteLines(env, ComposerFiles::SendNameFile(), {QStringLiteral("test_news_%1\tn\tm\t1\t1\t0").arg(Key)});
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    EXPECT_FALSE(composer->actSage->isEnabled());
    EXPECT_FALSE(composer->GetSage());
    EXPECT_TRUE(composer->GetPre());

    // Leaving the writing page and coming back never frees a switch the board type forbids.
    composer->PageControl1->setCurrentIndex(1);
    EXPECT_FALSE(composer->actPre->isEnabled());
    EXPECT_FALSE(composer->actSend->isEnabled());
    composer->PageControl1->setCurrentIndex(0);
    EXPECT_FALSE(composer->actSage->isEnabled());
    EXPECT_FALSE(composer->GetSage());
    EXPECT_TRUE(composer->actPre->isEnabled());
}

TEST(Composer, SageInTheMailFieldIsAddedAndRemovedAtItsStartOnly)
{
    TPostEnv env;   // "news": SAGE allowed and written into the mail field
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    composer->SenderMail->setEditText(QString());
    composer->actSage->trigger();
    EXPECT_EQ(composer->SenderMail->currentText(), QStringLiteral("sage"));
    composer->actSage->trigger();
    EXPECT_EQ(composer->SenderMail->currentText(), QString());

    composer->SenderMail->setEditText(QStringLiteral("xsage"));
    composer->actSage->trigger();   // "sage" occurs already: nothing added
    EXPECT_EQ(composer->SenderMail->currentText(), QStringLiteral("xsage"));
    composer->actSage->trigger();   // it does not start the text: nothing removed
    EXPECT_EQ(composer->SenderMail->currentText(), QStringLiteral("xsage"));
}

TEST(Composer, StoredKeyBindingsAndTheAsciiArtList)
{
    TPostEnv env;
    env.config->Ini.WriteString(QStringLiteral("SHORTCUT_SendDialog"), QStringLiteral("actSend"), QStringLiteral("Ctrl+S"));
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    EXPECT_EQ(composer->actSend->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(composer->actShowAAList->shortcut().isEmpty());   // the section lists no key for it

    composer->show();
    composer->SenderBody->setPlainText(QStringLiteral("前"));
    composer->SenderBody->moveCursor(QTextCursor::End);
    composer->actShowAAList->trigger();
    ASSERT_TRUE(composer->AAList->isVisible());
    composer->AAList->setCurrentRow(2);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(composer->AAList, &enter);
    EXPECT_FALSE(composer->AAList->isVisible());
    EXPECT_EQ(composer->SenderBody->toPlainText(), QStringLiteral("前") + composer->AAList->item(2)->text());
}

// The histories are written before the checks: a send the user abandons keeps its text there.
TEST(Composer, ConfirmationsStopTheSendAfterTheHistoriesAreWritten)
{
    TPostEnv env;
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    int sends = 0;
    composer->OnSend = [&sends](TSendDialog *) { ++sends; };
    composer->show();
    composer->SenderName->setEditText(QStringLiteral("fusianasan●"));   // "●" off 2ch asks nothing
    composer->SenderMail->setEditText(QStringLiteral("mail"));
    composer->SenderBody->setPlainText(QStringLiteral("本文"));

    env.Answer = Dialogs::mrNo;
    composer->actSend->trigger();
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages[0].startsWith(QStringLiteral("fusianasanで書き込もうとしています。")));
    EXPECT_EQ(sends, 0);
    EXPECT_TRUE(composer->isVisible());
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::NameLogFile()), QStringList({QStringLiteral("fusianasan●")}));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::MailLogFile()), QStringList({QStringLiteral("mail")}));
    EXPECT_EQ(ComposerFiles::LookupSendNames(QStringLiteral("test_news_") + Key).size(), 1);
    const QStringList log = ComposerFiles::LoadLines(ComposerFiles::SendLogFile());
    EXPECT_EQ(log.value(1), QStringLiteral("スレ名：スレ"));
    EXPECT_EQ(log.value(2), QStringLiteral("板　名：ニュース＠テスト"));
    EXPECT_EQ(log.value(8), QStringLiteral("本文"));
    // The name and mail boxes keep what the user typed.
    EXPECT_EQ(composer->SenderName->currentText(), QStringLiteral("fusianasan●"));

    item->BBS = env.registry->BBSList()->FindByID(QStringLiteral("machibbsscript"));
    env.Answer = Dialogs::mrYes;
    env.Messages.clear();
    composer->actSend->trigger();
    ASSERT_EQ(env.Messages.size(), 2);
    EXPECT_TRUE(env.Messages[1].startsWith(QStringLiteral("まちBBSに書き込もうとしています。")));
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(composer->Sending, 1);
    EXPECT_FALSE(composer->isVisible());
}

TEST(Composer, WithoutSendHistoriesNothingIsRecorded)
{
    TPostEnv env;
    env.config->SAVEHIST_SEND = false;
    env.config->DESKTOP_SENDWIN_SAVEHANDLE = true;
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    composer->SenderName->setEditText(QStringLiteral("名"));
    composer->CheckBox1->setChecked(false);
    composer->SaveHistory();
    EXPECT_TRUE(QDir(env.config->GetProfileDir()).entryList({QStringLiteral("*log.txt"), QStringLiteral("sendname.txt")}).isEmpty());
    EXPECT_TRUE(env.config->DESKTOP_SENDWIN_SAVEHANDLE);
}

TEST(Composer, ClosingAsksOnlyWhileSomethingIsWritten)
{
    TPostEnv env;
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    env.config->SENDWIN_PREVIEW = false;
    QPointer<TSendDialog> composer = new TSendDialog;
    composer->SetThread(item.get());
    composer->show();
    composer->SenderBody->setPlainText(QStringLiteral(" \n\t\n"));
    EXPECT_TRUE(composer->close());
    EXPECT_TRUE(env.Messages.isEmpty());

    composer = new TSendDialog;
    composer->SetThread(item.get());
    composer->show();
    composer->SenderBody->setPlainText(QStringLiteral("書きかけ"));
    env.Answer = Dialogs::mrNo;
    EXPECT_FALSE(composer->close());
    EXPECT_EQ(env.Messages, QStringList({QStringLiteral("編集中です。閉じてもよかですか？")}));
    env.Answer = Dialogs::mrYes;
    EXPECT_TRUE(composer->close());
    EXPECT_TRUE(PostTest::WaitFor([&composer] { return composer.isNull(); }));   // freed after closing
    EXPECT_EQ(item->RefCount(), 1);   // and its reference to the thread released
}

TEST(Composer, AnOverfullPostLogIsSetAsideFromTheLogPage)
{
    TPostEnv env;
    FileUtil::WriteFileAtomic(env.Profile(QStringLiteral("sendlog.txt")), QByteArray(ComposerFiles::MaxPostLogPageBytes + 10, 'a'));
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    composer->PageControl1->setCurrentIndex(1);
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages[0].startsWith(QStringLiteral("書き込みログの容量が制限を越えました。")));
    EXPECT_TRUE(env.Messages[0].endsWith(env.Profile(QStringLiteral("sendlog.bak"))));
    EXPECT_FALSE(QFile::exists(env.Profile(QStringLiteral("sendlog.txt"))));
    EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("sendlog.bak"))));
}

TEST(Composer, APostLogThatCannotBeReadIsToldAsSuchAndKept)
{
    TPostEnv env;
    const QString log = env.Profile(QStringLiteral("sendlog.txt"));
    FileUtil::ForceDirectories(env.Profile(QString()));
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), log));   // every read fails
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    composer->PageControl1->setCurrentIndex(1);
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_EQ(env.Messages[0], QStringLiteral("書き込みログを読み込めませんでした：") + log);
    EXPECT_EQ(QFileInfo(log).symLinkTarget(), QStringLiteral("/proc/self/mem"));
    EXPECT_FALSE(QFile::exists(env.Profile(QStringLiteral("sendlog.bak"))));
}

TEST(Composer, LocalRulesAreFetchedOnceStoredAsHtmlAndNeverOffline)
{
    ScriptedHttpServer rules;
    TPostEnv env(QStringLiteral("LOCALRULE=%1\r\n").arg(rules.Url(QStringLiteral("/<bbs>/head.txt"))));
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    rules.Reply(ScriptedHttpServer::Make(200, jconvert::UnicodeToSjis(QStringLiteral("荒らしは放置"))));
    const QString file = composer->GetLocalRuleFile();
    EXPECT_EQ(file, env.Board(News)->GetLogDir() + QStringLiteral("localrule.htm"));
    EXPECT_TRUE(rules.LastRequest().startsWith("GET /news/head.txt "));
    EXPECT_EQ(FileUtil::ReadFile(file), QByteArray("<HTML><BODY>\r\n") + jconvert::UnicodeToSjis(QStringLiteral("荒らしは放置"))
                                            + "\r\n</BODY></HTML>\r\n");
    EXPECT_EQ(composer->GetLocalRuleFile(), file);   // read from the file: no second request
    EXPECT_EQ(rules.Requests().size(), 1);
    EXPECT_TRUE(composer->StatusPanel1->text().isEmpty());

    env.registry->SetOffline(true);
    EXPECT_TRUE(composer->GetLocalRuleFile().isEmpty());
}

// その他のBBS names no rules page in its site.ini: a board of it has its rules in its own folder, and
// the composer's ローカルルール page asks for them there.
TEST(Composer, TheRulesOfABoardOfTheUserSiteComeFromItsFolder)
{
    ScriptedHttpServer rules;
    TPostEnv env;
    TSite *user = env.registry->UserSite();
    ASSERT_NE(user, nullptr);
    const QString host = MonaUtils::ExtractUrlHost(rules.Url(QStringLiteral("/")));
    auto *board = new TBoard;
    board->Site = user;
    board->BBS = user->BBS;
    board->Name = QStringLiteral("自宅の板");
    board->Category = QStringLiteral("自宅");
    board->HostPath = host + QStringLiteral("/bbs");
    board->ID = board->BBSName = QStringLiteral("home");
    board->URL = QStringLiteral("http://%1/bbs/home/").arg(host);
    user->Boards->Add(board);
    ItemRef item(new TThreadItem);
    item->SetLocation(user->SITEID, board->ID, Key, QStringLiteral("スレ"));
    auto composer = Composer(env, item.get());
    rules.Reply(ScriptedHttpServer::Make(200, jconvert::UnicodeToSjis(QStringLiteral("自宅の決まり"))));
    composer->PageControl1->setCurrentIndex(2);   // ローカルルール
    ASSERT_EQ(rules.Requests().size(), 1);
    EXPECT_TRUE(rules.LastRequest().startsWith("GET /bbs/home/head.txt ")) << rules.LastRequest().constData();
    EXPECT_TRUE(jconvert::SjisToUnicode(FileUtil::ReadFile(board->GetLogDir() + QStringLiteral("localrule.htm")))
                    .contains(QStringLiteral("自宅の決まり")));
}

TEST(Composer, ThePreviewShowsThePostThroughThePreviewSkin)
{
    TPostEnv env;
    const QString skin = env.root.Path() + QStringLiteral("def/skin/katjusha/");
    FileUtil::WriteFileAtomic(env.Profile(QStringLiteral("skin.ini")),
                              QStringLiteral("[senddialog_preview]\r\nSKINPATH=%1\r\nKATJUSHA=1\r\n").arg(skin).toUtf8());
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    auto composer = Composer(env, item.get());
    env.config->SENDWIN_PREVIEW = true;
    composer->show();
    ASSERT_TRUE(composer->HasPreview());
    EXPECT_TRUE(composer->Preview()->isVisible());
    EXPECT_TRUE(composer->actShowPreview->isChecked());

    composer->SenderName->setEditText(QStringLiteral("名無し"));
    composer->SenderBody->setPlainText(QStringLiteral("a<b>\n二行目"));
    EXPECT_EQ(composer->StatusPanel0->text(), QStringLiteral("行数: 2  文字数: 12"));
    TTavuBrowser *preview = composer->Preview()->Browser();
    ASSERT_TRUE(PostTest::WaitFor([preview] { return preview->ResList() && preview->ResList()->Count() == 1; }));
    const TRes *res = preview->ResList()->Get(0);
    EXPECT_EQ(res->Number, 1);
    EXPECT_EQ(res->Name, QStringLiteral("名無し"));
    EXPECT_EQ(res->ID, QStringLiteral("???"));
    EXPECT_EQ(res->Body, QStringLiteral("a&lt;b&gt;<br>二行目"));
    EXPECT_EQ(preview->Skin.SkinPath, skin);
    // Once everything written is in the page, its HTML is asked for once.
    ASSERT_TRUE(PostTest::WaitFor([preview] { return !preview->Browser()->IsBusy(); }));
    QString html;
    bool answered = false;
    preview->DocumentHtml([&](const QString &text) {
        html = text;
        answered = true;
    });
    ASSERT_TRUE(PostTest::WaitFor([&] { return answered; }));
    EXPECT_TRUE(html.contains(QStringLiteral("二行目")));
    EXPECT_TRUE(html.contains(QStringLiteral("a&lt;b&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("スレ")));   // the thread's title in the skin's header
}

// The preview's footer counts the preview's one response, not the new responses of the thread.
TEST(Composer, ThePreviewFooterCountsThePreviewAlone)
{
    TPostEnv env;
    const QString skin = env.root.Path() + QStringLiteral("def/skin/default/");
    FileUtil::WriteFileAtomic(env.Profile(QStringLiteral("skin.ini")),
                              QStringLiteral("[senddialog_preview]\r\nSKINPATH=%1\r\n").arg(skin).toUtf8());
    ItemRef item(env.NewItem(News, Key, QStringLiteral("スレ")));
    item->NewCount = 2;
    auto composer = Composer(env, item.get());
    env.config->SENDWIN_PREVIEW = true;
    composer->show();
    composer->SenderBody->setPlainText(QStringLiteral("本文"));
    TTavuBrowser *preview = composer->Preview()->Browser();
    ASSERT_TRUE(PostTest::WaitFor([preview] {
        return preview->ResList() && preview->ResList()->Count() == 1 && !preview->Browser()->IsBusy();
    }));
    const QString html = PostTest::PageHtml(preview);
    EXPECT_TRUE(html.contains(QStringLiteral("全 1 レス／新着 0 レス"))) << html.toStdString();
    EXPECT_EQ(item->NewCount, 2);
}

TEST(NewThreadComposer, PasswordSwitchesAndItsLogFollowTheBoardType)
{
    TPostEnv env;
    env.config->SAVEHIST_SEND = false;   // a new thread is logged anyway
    env.config->SENDWIN_PREVIEW = false;
    TBBS *type = env.Board(News)->BBS;
    WriteLines(env, ComposerFiles::MailLogFile(), {QStringLiteral("old")});
    {
        TNewThreadDialog composer;
        composer.setAttribute(Qt::WA_DeleteOnClose, false);
        type->ThreadFlags = TBBS::THREAD_SAGE;
        composer.SetBoard(env.Board(News));
        EXPECT_FALSE(composer.Password->isEnabled());
        EXPECT_TRUE(composer.actSage->isEnabled());
        EXPECT_FALSE(composer.actPre->isEnabled());
        EXPECT_FALSE(composer.CheckBox1->isVisibleTo(&composer));
        composer.Title->setText(QStringLiteral("新スレ"));
        composer.SenderName->setEditText(QStringLiteral("立てた人"));
        composer.SenderMail->setEditText(QString());
        composer.SenderBody->setPlainText(QStringLiteral("よろしく"));
        composer.SaveHistory();
    }
    QStringList log = ComposerFiles::LoadLines(ComposerFiles::ThreadLogFile());
    EXPECT_EQ(log.value(1), QStringLiteral("スレ名：新スレ"));
    EXPECT_EQ(log.value(2), QStringLiteral("板　名：ニュース＠テスト"));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::MailLogFile()), QStringList({QStringLiteral("old")}));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::NameLogFile()), QStringList({QStringLiteral("立てた人")}));

    TNewThreadDialog composer;
    composer.setAttribute(Qt::WA_DeleteOnClose, false);
    type->ThreadFlags = TBBS::THREAD_PASSWORD;
    composer.SetBoard(env.Board(News));
    EXPECT_TRUE(composer.Password->isEnabled());
    composer.Password->setEditText(QStringLiteral("pw"));
    composer.WritePostLog();
    log = ComposerFiles::LoadLines(ComposerFiles::ThreadLogFile());
    EXPECT_EQ(log.value(2), QStringLiteral("(P  W)：pw"));
    EXPECT_EQ(log.size(), 12 + 11);   // the new block (with its password line) before the first one
    EXPECT_EQ(log.value(13), QStringLiteral("スレ名：新スレ"));
}

TEST(HandleDialog, EditsBoardAndThreadHandlesAndTheDefault)
{
    TPostEnv env;
    WriteLines(env, ComposerFiles::HandleFile(), {QStringLiteral("test_news_HANDLE=ニュースの名"),
                                                  QStringLiteral("test_news_MAIL=sage"),
                                                  QStringLiteral("test_live_MAIL=live@")});
    WriteLines(env, ComposerFiles::ThreadHandleFile(), {QStringLiteral("同じ\tA\ta"), QStringLiteral("同じ\tB\tb")});
    THandleDialog dialog;
    int boards = 0;
    for (int i = 0; i < env.registry->SiteList()->Count(); ++i)
        boards += env.registry->SiteList()->Get(i)->Boards->Count();
    ASSERT_EQ(dialog.BoardList->topLevelItemCount(), boards);   // every board of every site
    QTreeWidgetItem *news = dialog.BoardList->topLevelItem(0);
    EXPECT_EQ(news->text(0), QStringLiteral("[テスト] テスト"));
    EXPECT_EQ(news->text(2), QStringLiteral("ニュースの名"));
    EXPECT_EQ(dialog.ThreadList->topLevelItemCount(), 2);

    // Clearing both fields of a board removes its lines.
    dialog.BoardList->setCurrentItem(news);
    dialog.BoardHandle->setEditText(QString());
    dialog.BoardMail->setEditText(QString());
    dialog.ApplyButton->click();
    dialog.ThreadText->setText(QStringLiteral("新"));
    dialog.ThreadHandle->setEditText(QStringLiteral("C"));
    dialog.AddButton->click();
    dialog.DefaultHandle->setEditText(QStringLiteral("既定の名"));
    dialog.BitBtn1Click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::HandleFile()), QStringList({QStringLiteral("test_live_MAIL=live@")}));
    EXPECT_EQ(ComposerFiles::LoadLines(ComposerFiles::ThreadHandleFile()),
              QStringList({QStringLiteral("同じ\tA\ta"), QStringLiteral("同じ\tB\tb"), QStringLiteral("新\tC\t")}));
    EXPECT_EQ(env.config->GLOBALHANDLE, QStringLiteral("既定の名"));
}

TEST(HandleDialog, AFileThatCannotBeWrittenKeepsTheDialogOpen)
{
    TPostEnv env;
    env.config->GLOBALHANDLE = QStringLiteral("前の名");
    ASSERT_TRUE(QDir().mkpath(env.Profile(ComposerFiles::ThreadHandleFile())));   // a folder in the file's place
    THandleDialog dialog;
    dialog.DefaultHandle->setEditText(QStringLiteral("新しい名"));
    dialog.BitBtn1Click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages[0].contains(ComposerFiles::ThreadHandleFile()));
    EXPECT_EQ(env.config->GLOBALHANDLE, QStringLiteral("前の名"));
    EXPECT_EQ(dialog.DefaultHandle->currentText(), QStringLiteral("新しい名"));
}

TEST(UrlDialog, ButtonsTellTheChoiceAndAForcedOffCheckIsNotStored)
{
    TPostEnv env;
    env.config->URL_CHECKBROCRA = true;
    TUrlDialog dialog;
    dialog.SetURL(QStringLiteral("http://example.jp/"));
    EXPECT_TRUE(dialog.GetCrasherCheck());
    dialog.SetNoCrasherCheck(true);
    EXPECT_FALSE(dialog.GetCrasherCheck());
    dialog.BrowserButton->click();
    EXPECT_TRUE(dialog.OpenInBrowser);
    EXPECT_FALSE(dialog.OpenInVarnelo || dialog.QuickLook);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(env.config->URL_CHECKBROCRA);

    TUrlDialog second;
    second.CrasherCheck->setChecked(false);
    second.QuickLookButton->click();
    EXPECT_TRUE(second.QuickLook);
    EXPECT_FALSE(env.config->URL_CHECKBROCRA);
}

// The preview never opens over the composer: bounds that would cover it give way to a place beside
// it, on the right, or on the left when the screen has no room there.
TEST(Composer, ThePreviewOpensBesideTheComposer)
{
    const QRect screen(0, 0, 1280, 900);
    const QRect composer(80, 80, 450, 410);
    EXPECT_EQ(TPreviewWindow::ShownBounds(QRect(80, 80, 450, 410), composer, screen), QRect(542, 80, 450, 410));
    EXPECT_EQ(TPreviewWindow::ShownBounds(QRect(700, 80, 300, 300), QRect(700, 60, 500, 400), screen),
              QRect(388, 60, 300, 300));
    EXPECT_EQ(TPreviewWindow::ShownBounds(QRect(600, 500, 300, 300), composer, screen), QRect(600, 500, 300, 300));
}
