// Registering feeds: the ids and folders a feed URL gives, the charset a feed declares, and the
// wizard from the window against RSS 2.0 and Atom feeds on 127.0.0.1, each then listed as a board.

#include "WindowTestEnv.h"

#include "support/ScriptedHttpServer.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/RssRegistration.h"
#include "settings/RssWizard.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const char *const Rss20 =
    "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>Feed 2</title><description>desc 2</description>\n"
    "<item><title>First</title><link>http://example.com/1</link></item>\n"
    "<item><title>Second</title><link>http://example.com/2</link></item>\n</channel></rss>\n";

const char *const Atom =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Atom feed</title>\n"
    "<entry><title>Entry</title><link rel=\"alternate\" href=\"http://example.org/1\"/><id>urn:uuid:1</id>\n"
    "<updated>2005-07-08T09:10:11Z</updated></entry>\n</feed>\n";

}  // namespace

TEST(RssRegistration, FeedUrlsIdsAndCharsets)
{
    QString id, path;
    RssRegistration::SplitFeedUrl(QStringLiteral("http://example.jp/news/index.rdf"), id, path);
    EXPECT_EQ(std::pair(id, path), std::pair(QStringLiteral("news@index.rdf"), QStringLiteral("example.jp")));
    RssRegistration::SplitFeedUrl(QStringLiteral("http://example.jp/index.rdf"), id, path);
    EXPECT_EQ(std::pair(id, path), std::pair(QStringLiteral("index.rdf"), QStringLiteral("example.jp")));

    int codePage = 2;
    RssRegistration::ReadFeed("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><title>t</title>", codePage);
    EXPECT_EQ(codePage, 1);
    codePage = 2;
    const RssRegistration::TFeedFields fields =
        RssRegistration::ReadFeed("<?xml version=\"1.0\" encoding=\"euc-jp\" ?><title>t</title><description>d</description>", codePage);
    EXPECT_EQ(codePage, 2);
    EXPECT_EQ(fields.Name, QStringLiteral("t"));
    EXPECT_EQ(fields.Description, QStringLiteral("d"));
}

TEST(RssWizard, RssAndAtomFeedsAreRegisteredAndListed)
{
    ScriptedHttpServer feeds;
    TWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = false; });
    env.Start();
    TSite *rss = TavuEnviron->RssSite();
    ASSERT_NE(rss, nullptr);
    QStringList messages;
    QString proposed, description;
    QString url;
    QStringList offeredCategories;
    QString finalNote;
    Dialogs::TScopedDialogHandlers handlers(
        [&messages](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            messages << text;
            return Dialogs::mrOK;
        },
        [&](QDialog &shown) {
            auto *wizard = dynamic_cast<TRssWizard *>(&shown);
            if (!wizard)
                return int(QDialog::Rejected);
            wizard->Edit2->setText(url);
            wizard->Button2->click();
            if (wizard->PageIndex() != 1)
                return int(QDialog::Rejected);
            proposed = wizard->Edit1->text();
            description = wizard->Memo1->toPlainText();
            offeredCategories << wizard->ComboBox1->currentText();
            wizard->ComboBox1->setCurrentText(QStringLiteral("ニュース"));
            wizard->Button2->click();
            finalNote = wizard->FinalNote->text();
            wizard->Button2->click();
            return wizard->result();
        });

    struct {
        const char *path, *feed, *name;
        int items;
    } cases[] = {{"/news/rss20.xml", Rss20, "Feed 2", 2}, {"/blog/atom.xml", Atom, "Atom feed", 1}};
    for (const auto &feed : cases) {
        url = feeds.Url(QString::fromLatin1(feed.path));
        feeds.Reply(ScriptedHttpServer::Make(200, feed.feed));
        env.Window->Action(QStringLiteral("actRSSWizard"))->trigger();
        EXPECT_EQ(proposed, QString::fromLatin1(feed.name));
        TBoard *board = rss->Boards->FindByUrl(url);
        ASSERT_NE(board, nullptr) << feed.path;
        EXPECT_EQ(board->Kind, int(TBoard::KIND_RSS));
        EXPECT_EQ(board->Name, QString::fromLatin1(feed.name));
        EXPECT_TRUE(jconvert::SjisToUnicode(FileUtil::ReadFile(rss->GetDir() + QStringLiteral("board.dat"))).contains(board->Name));

        feeds.Reply(ScriptedHttpServer::Make(200, feed.feed));
        env.Window->ListPane().StartThreadListDownload(board, false, false);
        ASSERT_TRUE(WaitFor([&] {
            for (TTavuListDoc *doc : env.Window->Tabs().ListDocs()) {
                if (doc->GetBoard() == board && doc->DownloadState == TTavuListDoc::dsIdle)
                    return doc->Items()->Count() == feed.items;
            }
            return false;
        })) << feed.path;
    }
    EXPECT_EQ(description, QString());   // the Atom feed has no description
    EXPECT_TRUE(messages.isEmpty());
    // The second feed is offered the category of the first, and the last page names the category.
    EXPECT_EQ(offeredCategories.value(1), QStringLiteral("ニュース"));
    EXPECT_EQ(finalNote, QStringLiteral("「RSS」の「ニュース」カテゴリに追加しました。"));

    // The same feed again is refused.
    url = feeds.Url(QStringLiteral("/news/rss20.xml"));
    proposed.clear();
    env.Window->Action(QStringLiteral("actRSSWizard"))->trigger();
    EXPECT_EQ(messages, QStringList{QStringLiteral("登録済みのRSSサイトです。")});
    EXPECT_TRUE(proposed.isEmpty());
}
