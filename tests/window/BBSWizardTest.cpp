// Registering a board of any 2ch-compatible server in the user site: the board id, templates and
// position the wizard settles, the site.ini entries it writes, and the whole flow from the window
// against a board server on 127.0.0.1 (registered board in the tree, its thread URLs, a thread, a
// post).

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "support/ScriptedHttpServer.h"

#include "controls/BoardTree.h"
#include "controls/WindowServices.h"
#include "core/BBSList.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/MonaUtils.h"
#include "core/ResUploader.h"
#include "core/SendData.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/BBSRegistration.h"
#include "services/Urls.h"
#include "settings/BBSWizard.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>

namespace {

const QString Abc = QStringLiteral("abc");
const QString Key = QStringLiteral("1000000001");

QString Sjis(const QString &path)
{
    return jconvert::SjisToUnicode(FileUtil::ReadFile(path));
}

BBSRegistration::TRequest Request(TBBS *type, const QString &url, const QString &category)
{
    BBSRegistration::TRequest request;
    request.Url = url;
    request.Name = QStringLiteral("板") + category;
    request.Category = category;
    request.Type = type;
    QString id, path;
    BBSRegistration::SplitBoardUrl(url, id, path);
    for (const QString &section : BBSRegistration::TemplateSections())
        request.Templates << BBSRegistration::GetTemplate(type, url, id, section, path);
    return request;
}

// Selects the board type in the wizard's list.
void SelectType(TBBSWizard &wizard, const QString &id)
{
    for (int i = 0; i < wizard.ListBox1->count(); ++i) {
        wizard.ListBox1->setCurrentRow(i);
        if (wizard.SelectedType()->ID == id)
            return;
    }
    ADD_FAILURE() << "no type " << id.toStdString();
}

// Opens the wizard with the window's command and hands it to `steps`, which returns the wizard's
// result; true when the dialog shown was the real wizard.
bool OpenWizard(TWindowEnv &env, const std::function<int(TBBSWizard *)> &steps)
{
    bool realWizard = false;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &shown) {
            auto *wizard = dynamic_cast<TBBSWizard *>(&shown);
            realWizard = wizard != nullptr;
            return wizard ? steps(wizard) : int(QDialog::Rejected);
        });
    env.Window->Action(QStringLiteral("actBBSWizard"))->trigger();
    return realWizard;
}

}  // namespace

TEST(BBSRegistration, UrlsSplitAndTemplatesFollowTheType)
{
    QString id, path;
    BBSRegistration::SplitBoardUrl(QStringLiteral("http://example.net/dir/abc/"), id, path);
    EXPECT_EQ(std::pair(id, path), std::pair(Abc, QStringLiteral("example.net/dir")));
    BBSRegistration::SplitBoardUrl(QStringLiteral("http://example.net/dir/abc/index.html"), id, path);
    EXPECT_EQ(std::pair(id, path), std::pair(Abc, QStringLiteral("example.net/dir")));

    TPostEnv env;
    TBBS *twoCh = TavuEnviron->BBSList()->FindByID(QStringLiteral("2chscript"));
    const QString url = QStringLiteral("http://example.net:8080/abc/");
    EXPECT_EQ(BBSRegistration::GetTemplate(twoCh, url, Abc, QStringLiteral("DAT"), QStringLiteral("example.net:8080")),
              QStringLiteral("http://example.net:8080/abc/dat/<key>.dat"));
    EXPECT_FALSE(BBSRegistration::CanReadIndexPage(twoCh));
    EXPECT_EQ(BBSRegistration::IndexPageUrl(twoCh, url), url + QStringLiteral("index2.html"));
    EXPECT_EQ(BBSRegistration::IndexPageUrl(twoCh, url + QStringLiteral("index.html")), url + QStringLiteral("index2.html"));
    EXPECT_EQ(BBSRegistration::PresetTypeId(QStringLiteral("http://jbbs.shitaraba.net/game/1/")), QStringLiteral("shitarabajbbs"));
}

TEST(BBSRegistration, TheIndexPageGivesTheCgiFolder)
{
    const QString board = QStringLiteral("http://example.net/abc/");
    QString folder;
    const QString page = QStringLiteral("<html><a href=\"../cgi/read.cgi?bbs=abc\">読む</a> 日本語</html>");
    ASSERT_EQ(BBSRegistration::AnalyseIndexPage(page, board, QStringLiteral("read.cgi"), folder), BBSRegistration::anFound);
    EXPECT_EQ(folder, QStringLiteral("http://example.net/cgi/"));
    EXPECT_EQ(BBSRegistration::MoveToFolder(QStringLiteral("http://example.net/test/read.cgi?bbs=abc&key=<key>"), folder,
                                            QStringLiteral("bbs"), Abc),
              QStringLiteral("http://example.net/cgi/read.cgi?bbs=<bbs>&key=<key>"));
    EXPECT_EQ(BBSRegistration::MoveToFolder(QStringLiteral("http://example.net/abc/subject.txt"), folder,
                                            QStringLiteral("bbs"), Abc),
              QStringLiteral("http://example.net/abc/subject.txt"));
    // A page that never names the script, with tags in it, is no link.
    EXPECT_EQ(BBSRegistration::AnalyseIndexPage(QStringLiteral("<html>nothing</html>"), board, QStringLiteral("read.cgi"), folder),
              BBSRegistration::anFailed);
    EXPECT_EQ(BBSRegistration::CgiName(QString(), QStringLiteral("http://h/x/bbs.cgi?a=1")), QStringLiteral("bbs.cgi"));
}

// Ids abc, abc1; a board of an existing category lands after that category's last board; templates
// left as the type's write nothing, a changed one goes to site.ini under the host.
TEST(BBSRegistration, RegistrationSettlesIdPositionAndTemplates)
{
    TPostEnv env;
    TSite *user = TavuEnviron->UserSite();
    ASSERT_NE(user, nullptr);
    user->Boards->Clear();
    TBBS *twoCh = TavuEnviron->BBSList()->FindByID(QStringLiteral("2chscript"));
    const QString url = QStringLiteral("http://example.net/abc/");
    const TSiteList &sites = *TavuEnviron->SiteList();

    TBoard *first = BBSRegistration::RegisterBoard(user, sites, Request(twoCh, url, QStringLiteral("A")), env.config->LogDir());
    BBSRegistration::RegisterBoard(user, sites, Request(twoCh, QStringLiteral("http://example.net/x/"), QStringLiteral("B")),
                                   env.config->LogDir());
    BBSRegistration::TRequest changed = Request(twoCh, url, QStringLiteral("A"));
    changed.Templates[3] = QStringLiteral("http://example.net/cgi/bbs.cgi");
    TBoard *second = BBSRegistration::RegisterBoard(user, sites, changed, env.config->LogDir());

    EXPECT_EQ(first->ID, Abc);
    EXPECT_EQ(second->ID, QStringLiteral("abc1"));
    EXPECT_EQ(second->BBSName, Abc);
    EXPECT_EQ(user->Boards->IndexOf(second), 1);   // after abc, before the category B
    EXPECT_EQ(second->LogFolder, env.config->LogDir() + QStringLiteral("user/abc1/"));

    TSite reread(user->SITEID, user->Kind, TavuEnviron->BBSList());
    reread.Load();
    reread.LoadBoards();
    ASSERT_EQ(reread.Boards->Count(), 3);
    EXPECT_EQ(reread.Boards->Get(1)->ID, QStringLiteral("abc1"));
    EXPECT_EQ(reread.Boards->Get(1)->URL, url);
    TIniFile ini(user->GetDir() + QStringLiteral("site.ini"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("SENDCGI"), QStringLiteral("example.net")), QStringLiteral("http://example.net/cgi/bbs.cgi"));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("SUBJECT")));
    // The board's posts go where site.ini now says.
    EXPECT_EQ(twoCh->GetSendCgiUrl(second, Key), QStringLiteral("http://example.net/cgi/bbs.cgi"));
}

// From the window: the wizard registers a board of a server no site knows; the board shows in the
// tree, its thread URLs open as its threads, and a reply reaches the server.
TEST(BBSWizard, AServerOfOnesOwnIsRegisteredReadAndPostedTo)
{
    BoardServer server;
    server.AddBoard(Abc);
    PostTest::AddThread(server, Abc, Key, 2);
    TWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = false; });
    env.Start();
    const bool realWizard = OpenWizard(env, [&](TBBSWizard *wizard) {
        wizard->Button2->click();
        wizard->Button2->click();   // an empty URL keeps the page
        EXPECT_EQ(wizard->PageIndex(), 1);
        wizard->Edit2->setText(server.BoardUrl(Abc));
        wizard->Button2->click();
        wizard->Edit1->setText(QStringLiteral("自宅の板"));
        wizard->ComboBox1->setCurrentText(QStringLiteral("自宅"));
        wizard->Button2->click();
        SelectType(*wizard, QStringLiteral("2chscript"));
        wizard->Button2->click();
        EXPECT_EQ(wizard->SubjectTxtUrl->text(), server.Url(QStringLiteral("/abc/subject.txt")));
        EXPECT_FALSE(wizard->Button4->isEnabled());
        wizard->Button2->click();
        EXPECT_EQ(wizard->Button2->text(), QStringLiteral("完了"));
        wizard->Button2->click();
        return wizard->result();
    });
    ASSERT_TRUE(realWizard);
    TSite *user = TavuEnviron->UserSite();
    TBoard *board = user->Boards->FindByID(Abc);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->HostPath, server.Host());
    EXPECT_TRUE(Sjis(user->GetDir() + QStringLiteral("board.dat")).contains(QStringLiteral("自宅の板")));
    EXPECT_EQ(env.Window->Services().BoardTree().CurrentSite(), user);
    const auto nodes =
        Part<QTreeWidget>(env.Window, "BoardListView")->findItems(QStringLiteral("自宅の板"), Qt::MatchRecursive);
    ASSERT_EQ(nodes.size(), 1);
    EXPECT_EQ(BoardTree::NodeBoard(nodes.first()), board);

    // Its thread list comes from the server.
    env.Window->ListPane().StartThreadListDownload(board, false, false);
    ASSERT_TRUE(PostTest::WaitFor([&] {
        for (TTavuListDoc *doc : env.Window->Tabs().ListDocs()) {
            if (doc->GetBoard() == board && doc->DownloadState == TTavuListDoc::dsIdle)
                return doc->Items()->Count() == 1 && doc->Items()->Get(0)->GetKey() == Key;
        }
        return false;
    }));

    // Its thread URL opens as a thread of the board and is read from the server.
    TavuConfig->URL_OPENINVARNELO = 0;
    env.Window->OpenThreadUrl(server.Url(QStringLiteral("/test/read.cgi/abc/") + Key + QLatin1Char('/')));
    ASSERT_EQ(env.Window->Tabs().Browsers().size(), 1);
    TThreadItem *item = env.Window->Tabs().Browsers().first()->ThreadItem();
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(env.Window->Tabs().Browsers().first()->IsWebPage());
    EXPECT_EQ(item->GetBoard(), board);
    EXPECT_TRUE(PostTest::WaitFor([item] { return item->LogExists() && item->COUNT == 2; }));

    // A reply goes to the server's bbs.cgi.
    TResUploader job(item);
    job.Board = board;
    job.Data->Name = QStringLiteral("名無し");
    job.Data->Body = QStringLiteral("自宅から");
    bool done = false, failed = true;
    job.OnDone = [&](TResUploader *, bool f) {
        done = true;
        failed = f;
    };
    job.OnError = [&](TResUploader *, int, const QString &, const QString &) { done = true; };
    job.OnCancel = [&](TResUploader *, const QString &) { done = true; };
    item->BBS->PostRes(&job);
    ASSERT_TRUE(PostTest::WaitFor([&done] { return done; }));
    EXPECT_FALSE(failed);
    EXPECT_EQ(server.ResCount(Abc, Key), 3);
    EXPECT_EQ(server.Res(Abc, Key, 3).value(3), QStringLiteral("自宅から"));
}

// "HTMLから取得": the CGI folder the board's index page links to replaces the type's, once the user
// agrees; the templates that differ then go to the user site's site.ini under the host.
TEST(BBSWizard, TheIndexPageMovesTheTemplatesToItsCgiFolder)
{
    ScriptedHttpServer pages;
    TWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = false; });
    env.Start();
    pages.Reply(ScriptedHttpServer::Make(200, "<html><a href=\"/scripts/readres.cgi?bo=abc&vi=1\">x</a></html>"));
    pages.Reply(ScriptedHttpServer::Make(404, "gone"));
    pages.Reply(ScriptedHttpServer::Make(404, "gone"));
    const QString url = pages.Url(QStringLiteral("/abc/"));
    const QString host = MonaUtils::ExtractUrlHost(url);

    TBBSWizard wizard;
    wizard.Button2->click();
    wizard.Edit2->setText(url);
    wizard.Button2->click();
    wizard.Edit1->setText(QStringLiteral("メガ"));
    wizard.ComboBox1->setCurrentText(QStringLiteral("外"));
    wizard.Button2->click();
    SelectType(wizard, QStringLiteral("megabbsscript"));
    wizard.Button2->click();
    ASSERT_TRUE(wizard.Button4->isEnabled());
    wizard.Button4->click();
    EXPECT_EQ(env.Messages, QStringList{QStringLiteral("こんな感じでいい？\r\nhttp://%1/scripts/").arg(host)});
    EXPECT_EQ(wizard.SubjectTxtUrl->text(), QStringLiteral("http://%1/scripts/subject.cgi?bo=<bbs>").arg(host));
    EXPECT_EQ(wizard.ReadCgiUrl->text(), QStringLiteral("http://%1/scripts/readres.cgi?bo=<bbs>&vi=<dat>").arg(host));

    // A page that cannot be fetched changes nothing.
    wizard.Button4->click();
    EXPECT_EQ(env.Messages.value(1), QStringLiteral("取得に失敗しました。"));
    EXPECT_EQ(wizard.SubjectTxtUrl->text(), QStringLiteral("http://%1/scripts/subject.cgi?bo=<bbs>").arg(host));

    wizard.Button2->click();
    wizard.Button2->click();
    ASSERT_NE(wizard.Result, nullptr);
    TSite *user = TavuEnviron->UserSite();
    TIniFile ini(user->GetDir() + QStringLiteral("site.ini"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("SUBJECT"), host), QStringLiteral("http://%1/scripts/subject.cgi?bo=<bbs>").arg(host));
    EXPECT_EQ(wizard.Result->BBS->BoardUrl(QStringLiteral("SUBJECT"), wizard.Result),
              QStringLiteral("http://%1/scripts/subject.cgi?bo=abc").arg(host));
}

// From the window on a profile whose user site has no board yet: the category box still offers a
// category, and the script page refuses "次へ >" until a type is selected, even though the list makes
// its first row current when it takes the focus.
TEST(BBSWizard, TheScriptPageNeedsATypeTheUserChose)
{
    TWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = false; });
    env.Start();
    TavuEnviron->UserSite()->Boards->Clear();
    const bool realWizard = OpenWizard(env, [&](TBBSWizard *wizard) {
        wizard->Button2->click();
        wizard->Edit2->setText(QStringLiteral("http://example.net/abc/"));
        wizard->Button2->click();
        EXPECT_GT(wizard->ComboBox1->count(), 0);
        wizard->Edit1->setText(QStringLiteral("板"));
        wizard->ComboBox1->setCurrentIndex(0);
        wizard->Button2->click();
        EXPECT_EQ(wizard->PageIndex(), 3);

        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(wizard->ListBox1, &focus);
        EXPECT_EQ(wizard->SelectedType(), nullptr);
        EXPECT_FALSE(wizard->Button2->isEnabled());
        wizard->Button2Click();   // even when called, the page stays
        EXPECT_EQ(wizard->PageIndex(), 3);

        SelectType(*wizard, QStringLiteral("2chscript"));
        EXPECT_TRUE(wizard->Button2->isEnabled());
        wizard->Button2->click();
        EXPECT_EQ(wizard->PageIndex(), 4);
        EXPECT_TRUE(wizard->Button2->isEnabled());
        wizard->Button1->click();   // back on the script page, the choice is kept
        EXPECT_EQ(wizard->SelectedType()->ID, QStringLiteral("2chscript"));
        EXPECT_TRUE(wizard->Button2->isEnabled());
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(realWizard);
    EXPECT_EQ(TavuEnviron->UserSite()->Boards->Count(), 0);
}

// A second registration offers the category of the boards already there; a category emptied by the
// user is asked for, and the last page names the category the board joins.
TEST(BBSWizard, ASecondBoardIsOfferedACategoryAndTheLastPageNamesIt)
{
    TWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = false; });
    env.Start();
    TSite *user = TavuEnviron->UserSite();
    user->Boards->Clear();
    BBSRegistration::RegisterBoard(user, *TavuEnviron->SiteList(),
                                   Request(TavuEnviron->BBSList()->FindByID(QStringLiteral("2chscript")),
                                           QStringLiteral("http://example.net/first/"), QStringLiteral("自宅")),
                                   TavuConfig->LogDir());
    QStringList messages;
    QString offered, finalNote;
    int pageWhenAsked = -1;
    TBBSWizard *shown = nullptr;
    Dialogs::TScopedDialogHandlers handlers(
        [&](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            messages << text;
            pageWhenAsked = shown ? shown->PageIndex() : -1;
            return Dialogs::mrOK;
        },
        [&](QDialog &dialog) {
            shown = dynamic_cast<TBBSWizard *>(&dialog);
            if (!shown)
                return int(QDialog::Rejected);
            shown->Button2->click();
            shown->Edit2->setText(QStringLiteral("http://example.net/second/"));
            shown->Button2->click();
            offered = shown->ComboBox1->currentText();
            shown->Edit1->setText(QStringLiteral("二つ目"));
            shown->ComboBox1->setCurrentText(QString());
            shown->Button2->click();   // no category: asked for, the page stays
            shown->ComboBox1->setCurrentText(QStringLiteral("趣味"));
            shown->Button2->click();
            SelectType(*shown, QStringLiteral("2chscript"));
            shown->Button2->click();
            shown->Button2->click();
            finalNote = shown->FinalNote->text();
            shown->Button2->click();
            return shown->result();
        });
    env.Window->Action(QStringLiteral("actBBSWizard"))->trigger();

    EXPECT_EQ(offered, QStringLiteral("自宅"));
    EXPECT_EQ(messages, QStringList{QStringLiteral("カテゴリを入力してください。")});
    EXPECT_EQ(pageWhenAsked, 2);
    EXPECT_EQ(finalNote, QStringLiteral("掲示板を「その他のBBS」の「趣味」カテゴリに追加しました。"));
    const TBoard *second = user->Boards->FindByID(QStringLiteral("second"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Category, QStringLiteral("趣味"));
}
