// The panes and menus beside a thread tab, through the real window: the thread information list,
// the bookmark pane and its menu, the menu of a poster ID, the image catalog pane, the board tree's
// colours and the Exif view of a picture link.

#include "WindowParts.h"
#include "PostTestEnv.h"
#include "uisupport/TestPicture.h"

#include "controls/WindowServices.h"
#include "support/ScriptedHttpServer.h"

#include "commands/ResIDCommands.h"
#include "commands/ThreadInfoPane.h"
#include "controls/BoardTree.h"
#include "controls/TavuSplitter.h"
#include "controls/WindowLists.h"
#include "core/Bookmark.h"
#include "core/Colors.h"
#include "core/FileUtil.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/Tavutils.h"
#include "core/TextList.h"
#include "mainwindow/BoardPane.h"
#include "render/TavuListDoc.h"
#include "settings/BookmarkShelf.h"
#include "tools/ImageCatalog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>

using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");

// A thread of the given bodies opened in the current tab of the window, in save mode.
struct TPaneEnv {
    TPostWindowEnv env;
    TTavuBrowser *tab = nullptr;
    TThreadInfoPane *pane = nullptr;

    explicit TPaneEnv(const QStringList &bodies, const std::function<void(TWindowEnv &)> &prepare = {}) : env(prepare)
    {
        env.server.AddThread(News, Key, QStringLiteral("スレ"));
        for (const QString &body : bodies)
            env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), body);
        ItemRef item(new TThreadItem);
        item->SetLocation(env.site->SITEID, News, Key, QString());
        item->DownloadRequest = true;
        env.Window()->OpenThread(item.get(), false, false, true, 0, false, QString());
        WaitFor([this] { return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0; });
        tab = env.Window()->Tabs().Browsers().value(0);
        pane = env.Window()->findChild<TThreadInfoPane *>();
    }

    TThreadItem *Item() const { return tab->ThreadItem(); }

    // The rows of the information list.
    QStringList InfoRows() const
    {
        QStringList rows;
        for (int i = 0; i < pane->ThreadInfoListBox->count(); ++i)
            rows << pane->ThreadInfoListBox->item(i)->text();
        return rows;
    }

    // The thread's bookmarks as a fresh item reads them from the .inf.
    QList<int> StoredBookmarks(QStringList *memos = nullptr) const
    {
        ItemRef stored(new TThreadItem);
        stored->SetLocation(env.site->SITEID, News, Key, QString());
        stored->OpenInf();
        QList<int> numbers;
        for (int i = 0; i < stored->Bookmarks.Count(); ++i) {
            numbers << stored->Bookmarks.Get(i)->ResNo;
            if (memos)
                *memos << stored->Bookmarks.Get(i)->Memo;
        }
        return numbers;
    }

    QByteArray BookmarkIndex() const
    {
        QFile file(env.env.Profile(QStringLiteral("bookmark.txt")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QAction *MenuItem(QMenu *menu, const QString &text) const
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
};

}  // namespace

TEST(ThreadInfoPane, TheInformationListShowsTheOpenThreadsFiguresInGroupsOfThree)
{
    TPaneEnv env({QStringLiteral("本文一"), QStringLiteral("本文二")});
    ASSERT_TRUE(env.tab && env.pane);
    const QStringList rows = env.InfoRows();
    ASSERT_GE(rows.size(), 12);
    EXPECT_EQ(rows.mid(0, 3), QStringList({QStringLiteral("タイトル"), QStringLiteral("スレ"), QString()}));
    EXPECT_EQ(rows[3], QStringLiteral("前回読み込み日"));
    EXPECT_EQ(rows[4], env.Item()->LAST_LOAD);
    EXPECT_EQ(rows[6], QStringLiteral("経過時間"));
    EXPECT_TRUE(rows.contains(QStringLiteral("1 回")));
    EXPECT_TRUE(rows.contains(QStringLiteral("<無し>")));   // never posted to
    EXPECT_FALSE(rows.contains(QStringLiteral("ここまで読んだ")));
    // The label row is drawn on the button face, the value on the window colour.
    const QPalette palette = env.pane->ThreadInfoListBox->palette();
    EXPECT_EQ(env.pane->ThreadInfoListBox->item(0)->background().color(), palette.color(QPalette::Button));
    EXPECT_EQ(env.pane->ThreadInfoListBox->item(1)->background().color(), palette.color(QPalette::Base));

    // With a clock of its own: the elapsed times, the read point.
    TThreadItem *item = env.Item();
    item->LAST_LOAD = QStringLiteral("2024/01/01 10:00:00");
    item->LAST_SENT = QStringLiteral("2024/01/01 11:00:00");
    item->READPOINT = 2;
    const QDateTime now = QDateTime::fromString(QStringLiteral("2024/01/02 12:00:05"), QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    env.pane->FillThreadInfo(item, now);
    const QStringList later = env.InfoRows();
    const QString sinceLoad = Tavutils::FormatElapsedTime(QDateTime(QDate(2024, 1, 1), QTime(10, 0)), now);
    const QString sinceSent = Tavutils::FormatElapsedTime(QDateTime(QDate(2024, 1, 1), QTime(11, 0)), now);
    EXPECT_NE(sinceLoad, sinceSent);
    EXPECT_EQ(later.indexOf(sinceLoad + QStringLiteral("経過")), 7);
    EXPECT_EQ(later.indexOf(sinceSent + QStringLiteral("経過")), 16);
    EXPECT_EQ(later.mid(later.size() - 3), QStringList({QStringLiteral("ここまで読んだ"), QStringLiteral(">>2"), QString()}));

    // Closing the panel keeps its width for the next start.
    env.env.Window()->resize(1000, 700);
    env.env.Window()->show();
    TTavuSplitter *splitter = Part<TTavuSplitter>(env.env.Window(), "ThreadInfoSplitter");
    splitter->setSizes({600, 230});
    const int width = splitter->PaneSize();
    ASSERT_GT(width, 100);
    splitter->Close();
    EXPECT_EQ(TavuConfig->DESKTOP_THREADINFOWIDTH, width);

    // No thread tab: an empty list.
    env.env.Window()->Tabs().CloseBrowser(env.tab);
    EXPECT_TRUE(WaitFor([&] { return env.pane->ThreadInfoListBox->count() == 0; }));
}

// A thread tab that follows a link to a page shows no thread's figures any more, nor its caption.
TEST(ThreadInfoPane, ATabThatGoesToAPageShowsNoThreadsFigures)
{
    TPaneEnv env({QStringLiteral("本文")}, [](TWindowEnv &e) {
        e.config->URL_OPENINVARNELO = 0;   // pages open in the tab itself
        e.config->CHECKBBSLINK = false;
    });
    ASSERT_TRUE(env.tab && env.pane);
    ASSERT_FALSE(env.InfoRows().isEmpty());
    bool cancel = false;
    emit env.tab->Browser()->BeforeNavigate(QUrl(QStringLiteral("http://127.0.0.1:1/about.html")), cancel);
    ASSERT_FALSE(cancel);
    ASSERT_TRUE(env.tab->IsWebPage());
    EXPECT_EQ(env.InfoRows(), QStringList());
    EXPECT_FALSE(env.env.Window()->windowTitle().contains(QStringLiteral("スレ"))) << env.env.Window()->windowTitle().toStdString();
}

TEST(ThreadInfoPane, TheBookmarkPaneListsCommentsAndDeletesAndTheFilesFollow)
{
    TPaneEnv env({QStringLiteral("本文一"), QStringLiteral("本文二"), QStringLiteral("本文三")});
    ASSERT_TRUE(env.tab && env.pane);
    TVarneloWindow *window = env.env.Window();
    TBookmarkShelf shelf(window->StoredLists().BookmarkList, TWindowLists::BookmarkFile());
    ASSERT_TRUE(shelf.Add(env.Item(), *env.tab->ResList()->Get(1), QStringLiteral("メモ"), QString()));
    ASSERT_TRUE(shelf.Add(env.Item(), *env.tab->ResList()->Get(2), QString(), QString()));
    window->UpdateStatusCaption(env.Item());

    QTreeWidget *list = env.pane->BookmarkListView;
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("2"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("メモ"));
    EXPECT_EQ(list->topLevelItem(0)->toolTip(0), QStringLiteral("メモ: 本文二"));

    // The menu offers what the selection allows.
    QMenu *menu = Part<QMenu>(window, "BookmarkMenu");
    ASSERT_TRUE(env.MenuItem(menu, QStringLiteral("コメント(&C)...")));
    emit menu->aboutToShow();
    EXPECT_FALSE(window->Action(QStringLiteral("actBookmarkComment"))->isEnabled());
    EXPECT_FALSE(window->Action(QStringLiteral("actBookmarkDelete"))->isEnabled());
    list->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(env.pane->BookmarkText->toPlainText(), QStringLiteral("本文二"));
    emit env.tab->StatusTextChange(QStringLiteral("http://example.jp/"));   // a hover draws the caption again
    EXPECT_TRUE(list->topLevelItem(0)->isSelected());
    list->topLevelItem(1)->setSelected(true);
    emit menu->aboutToShow();
    EXPECT_FALSE(window->Action(QStringLiteral("actBookmarkComment"))->isEnabled());
    EXPECT_TRUE(window->Action(QStringLiteral("actBookmarkDelete"))->isEnabled());
    list->topLevelItem(1)->setSelected(false);
    emit menu->aboutToShow();
    EXPECT_TRUE(window->Action(QStringLiteral("actBookmarkComment"))->isEnabled());

    // The comment goes into the .inf.
    QString asked;
    {
        Dialogs::TScopedDialogHandlers handlers({}, [&asked](QDialog &dialog) {
            auto *input = qobject_cast<QInputDialog *>(&dialog);
            asked = dialog.windowTitle() + QLatin1Char('/') + (input ? input->labelText() + input->textValue() : QString());
            if (input)
                input->setTextValue(QStringLiteral("新しいメモ"));
            return int(QDialog::Accepted);
        });
        window->Action(QStringLiteral("actBookmarkComment"))->trigger();
    }
    EXPECT_EQ(asked, QStringLiteral("コメントの編集/コメントメモ"));
    QStringList memos;
    EXPECT_EQ(env.StoredBookmarks(&memos), QList<int>({2, 3}));
    EXPECT_EQ(memos.value(0), QStringLiteral("新しいメモ"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("新しいメモ"));

    // Deleting one keeps the index line; deleting the last removes it.
    const QByteArray indexLine = QByteArray("test/news/") + Key.toLatin1() + '=';
    EXPECT_TRUE(env.BookmarkIndex().contains(indexLine));
    list->topLevelItem(0)->setSelected(true);
    window->Action(QStringLiteral("actBookmarkDelete"))->trigger();
    EXPECT_EQ(env.StoredBookmarks(), QList<int>({3}));
    EXPECT_FALSE(env.tab->ResList()->Get(1)->Bookmarked);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_TRUE(env.BookmarkIndex().contains(indexLine));
    list->topLevelItem(0)->setSelected(true);
    window->Action(QStringLiteral("actBookmarkDelete"))->trigger();
    EXPECT_TRUE(env.StoredBookmarks().isEmpty());
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_FALSE(env.BookmarkIndex().contains(indexLine));
}

// A click on an ID link opens the ID menu; its commands act on the responses of that ID only.
TEST(ThreadInfoPane, AnIDClickOpensTheIDMenuWhoseCommandsActOnThatIDsResponses)
{
    TPaneEnv env({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四")});
    ASSERT_TRUE(env.tab && env.tab->ResList() && env.tab->ResList()->Count() == 4);
    TVarneloWindow *window = env.env.Window();
    TResList *list = env.tab->ResList();
    list->Get(0)->ID = QStringLiteral("Same+ID");
    list->Get(2)->ID = QStringLiteral("Same+ID");

    bool cancel = false;
    emit env.tab->Browser()->BeforeNavigate(QUrl(QStringLiteral("tavu://res/?id=Same+ID")), cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(env.tab->ClickedID, QStringLiteral("Same+ID"));
    EXPECT_TRUE(Part<QMenu>(window, "ResIDPopup")->isVisible());
    Part<QMenu>(window, "ResIDPopup")->hide();

    // Only that ID, in a tab of its own.
    env.MenuItem(Part<QMenu>(window, "ResIDPopup"), QStringLiteral("この ID のレスのみを抽出"))->trigger();
    TTavuBrowser *filtered = window->Tabs().Browsers().value(0);
    ASSERT_NE(filtered, env.tab);
    EXPECT_EQ(filtered->SearchCount, 2);
    window->Tabs().ShowBrowserTab(env.tab, false);

    // Bold for a day: a rule on the ID field for this board, saved.
    const int rules = window->Services().Rules().ResRules()->Count();
    env.MenuItem(Part<QMenu>(window, "ResIDPopup"), QStringLiteral("この ID のレスは太字で表示（１日間有効）"))
        ->trigger();
    ASSERT_EQ(window->Services().Rules().ResRules()->Count(), rules + 1);
    const TTavuAction *rule = window->Services().Rules().ResRules()->Get(rules);
    EXPECT_EQ(rule->Target, int(TTavuAction::RESID));
    EXPECT_EQ(rule->Condition, int(TTavuAction::SAME));
    EXPECT_EQ(rule->Action, int(TTavuAction::RESMARK));
    EXPECT_EQ(rule->Value1, QStringLiteral("Same+ID"));
    EXPECT_EQ(rule->ExpireDays, 1);
    EXPECT_FALSE(rule->RegistDate.isEmpty());
    EXPECT_TRUE(rule->Boards.Targets(QStringLiteral("test"), News));
    EXPECT_FALSE(rule->Boards.Targets(QStringLiteral("test"), QStringLiteral("live")));
    TTavuActionList saved;
    ASSERT_TRUE(saved.LoadFromFile(TWindowLists::ResRulesFile()));
    ASSERT_EQ(saved.Count(), rules + 1);
    EXPECT_EQ(saved.Get(rules)->Value1, QStringLiteral("Same+ID"));

    // Hiding adds its rule and erases the ID's responses, marked in the .inf; a second erase
    // reports nothing.
    env.MenuItem(Part<QMenu>(window, "ResIDPopup"), QStringLiteral("この ID のレスを非表示（１日間有効）"))->trigger();
    ASSERT_EQ(window->Services().Rules().ResRules()->Count(), rules + 2);
    EXPECT_EQ(window->Services().Rules().ResRules()->Get(rules + 1)->Action, int(TTavuAction::ABONE));
    EXPECT_TRUE(env.env.env.LogLines().contains(QStringLiteral("2 個のレスを消去しました。")));
    EXPECT_EQ(env.Item()->ReadErasedRes(), QSet<int>({1, 3}));
    EXPECT_FALSE(list->Get(1)->Erased);
    const int logLines = env.env.env.LogLines().size();
    auto *commands = window->findChild<TResIDCommands *>();
    ASSERT_TRUE(commands);
    EXPECT_EQ(commands->EraseIDClick(), 0);
    EXPECT_EQ(env.env.env.LogLines().size(), logLines);
}

// The empty catalog asks for a picture link to be dropped, with the program's own picture.
TEST(ThreadInfoPane, TheEmptyCatalogShowsTheDropPicture)
{
    TPaneEnv env({QStringLiteral("一")});
    ASSERT_TRUE(env.pane && env.pane->ImageCatalog);
    const QLabel *hint = env.pane->ImageCatalog->DropHint;
    const QString picture = TTavuConfig::AppDir() + QStringLiteral("resource/imagedrop.gif");
    EXPECT_TRUE(hint->text().contains(QStringLiteral("ここに画像リンクをドロップ")));
    EXPECT_TRUE(hint->text().contains(QStringLiteral("<IMG SRC=\"%1\">").arg(picture)));
    EXPECT_FALSE(QImage(picture).isNull());
    EXPECT_FALSE(hint->isHidden());
}

// The catalog fills from the picture links of a thread served by a local server; a link that is
// no picture keeps its cell and says why; the menu's items act on the catalog.
TEST(ThreadInfoPane, TheCatalogPaneFillsFromTheThreadsPictureLinksAndItsMenuActs)
{
    ScriptedHttpServer pictures;
    pictures.Reply(ScriptedHttpServer::Make(200, TestPicture::Png(40, 30, Qt::blue), {"Content-Type: image/png"}));
    pictures.Reply(ScriptedHttpServer::Make(404, "gone"));
    const QString good = pictures.Url(QStringLiteral("/a.png"));
    const QString bad = pictures.Url(QStringLiteral("/b.jpg"));
    TPaneEnv env({good, QStringLiteral("ここ ") + bad + QStringLiteral(" です"), pictures.Url(QStringLiteral("/page.html"))});
    ASSERT_TRUE(env.tab && env.pane);
    TVarneloWindow *window = env.env.Window();
    TImageCatalogPane *catalog = env.pane->ImageCatalog;
    ASSERT_TRUE(catalog);
    // A pane of the window, not a window of its own.
    EXPECT_FALSE(catalog->isWindow());
    EXPECT_TRUE(window->isAncestorOf(catalog));

    window->Action(QStringLiteral("actThreadThumbnailImages"))->trigger();
    EXPECT_EQ(catalog->Catalog.Urls, QStringList({good, bad}));
    EXPECT_EQ(env.pane->ThreadInfoTabs->currentWidget(), catalog);   // IMAGEPANE 1: a tab of the panel
    ASSERT_EQ(catalog->ImageList->count(), 2);
    ASSERT_TRUE(WaitFor([&] {
        return !catalog->ImageList->item(0)->icon().isNull() && !catalog->ImageList->item(1)->icon().isNull();
    }));
    EXPECT_EQ(catalog->ImageList->item(0)->icon().availableSizes().value(0), QSize(40, 30));
    EXPECT_TRUE(catalog->ImageList->item(1)->toolTip().endsWith(bad));
    EXPECT_NE(catalog->ImageList->item(1)->toolTip(), bad);   // it says why
    EXPECT_EQ(catalog->ImagePopup->actions().size() - 2, 7);   // seven items and two separators
    EXPECT_EQ(pictures.Requests().size(), 2);   // each picture once

    catalog->ClickedUrl = good;
    env.MenuItem(catalog->ImagePopup, QStringLiteral("このカタログをタヴで表示"))->trigger();
    TTavuBrowser *page = window->Tabs().Browsers().value(0);
    ASSERT_NE(page, env.tab);
    EXPECT_TRUE(page->IsWebPage());
    const QString html = PostTest::PageHtml(page);
    EXPECT_TRUE(html.contains(QStringLiteral("src=\"") + good));

    env.MenuItem(catalog->ImagePopup, QStringLiteral("この画像をカタログから削除"))->trigger();
    EXPECT_EQ(catalog->Catalog.Urls, QStringList({bad}));
    env.MenuItem(catalog->ImagePopup, QStringLiteral("カタログのクリア"))->trigger();
    EXPECT_TRUE(catalog->Catalog.Urls.isEmpty());
    EXPECT_FALSE(catalog->DropHint->isHidden());
}

// The board tree draws its nodes in the configured colours.
TEST(ThreadInfoPane, TheBoardTreeDrawsItsNodesInTheConfiguredColours)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        e.config->CATEGORYBKCOLOR = 0x0000FF;   // red (TColor is BGR)
        e.config->BOARDLISTBKCOLOR = 0x00FF00;
        e.config->BOARDTEXTCOLOR = 0xFF0000;
    });
    TVarneloWindow *window = env.Window();
    window->BoardPane().SelectSite(env.site);
    ASSERT_GT(Part<QTreeWidget>(window, "BoardListView")->topLevelItemCount(), 0);
    QTreeWidgetItem *category = Part<QTreeWidget>(window, "BoardListView")->topLevelItem(0);
    ASSERT_GT(category->childCount(), 0);
    EXPECT_EQ(category->background(0).color(), QColor(Qt::red));
    EXPECT_EQ(category->child(0)->background(0).color(), QColor(Qt::green));
    EXPECT_EQ(category->child(0)->foreground(0).color(), QColor(Qt::blue));
    EXPECT_EQ(category->foreground(0).color(), QColor(Qt::blue));
}

// The board menu lists the shown site's boards under their categories; a board chosen opens.
TEST(ThreadInfoPane, TheBoardMenuListsTheShownSitesBoardsAndOpensTheOneChosen)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\n"); });
    TVarneloWindow *window = env.Window();
    window->BoardPane().SelectSite(env.site);
    auto *menu = window->findChild<QMenu *>(QStringLiteral("V2"));
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QStringList entries;
    for (const QAction *action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(entries, QStringList({QStringLiteral("-"), QStringLiteral("テスト"), QStringLiteral("ニュース"),
                                    QStringLiteral("実況"), QStringLiteral("消えた板")}));
    EXPECT_FALSE(menu->actions().value(1)->isEnabled());
    menu->actions().value(2)->trigger();
    ASSERT_TRUE(WaitFor([window] { return !window->Tabs().ListDocs().isEmpty(); }));
    EXPECT_EQ(window->Tabs().ListDocs().first()->BoardID, News);
}

// With SHOWEXIFINFO a picture link opened inside the program goes to the browser panel's picture
// view, which opens an activated tab titled with the URL and writes the Exif display into it;
// without the setting the thread tab goes to the picture itself.
TEST(ThreadInfoPane, APictureLinkShowsItsExifDisplayInATabOnlyWithTheSetting)
{
    ScriptedHttpServer pictures;
    const QByteArray jpeg = ScriptedHttpServer::Make(200, QByteArray("\xFF\xD8\xFF\xD9", 4), {"Content-Type: image/jpeg"});
    for (int i = 0; i < 3; ++i)   // the picture view, the Exif reader and the picture in the tab
        pictures.Reply(jpeg);
    TPaneEnv env({QStringLiteral("一")}, [](TWindowEnv &e) {
        e.config->CHECKBBSLINK = false;
        e.config->URL_OPENINVARNELO = 0;
    });
    ASSERT_TRUE(env.tab);
    TVarneloWindow *window = env.env.Window();
    const QString url = pictures.Url(QStringLiteral("/photo.jpg"));
    bool cancel = false;
    TavuConfig->SHOWEXIFINFO = true;
    emit env.tab->Browser()->BeforeNavigate(QUrl(url), cancel);
    EXPECT_TRUE(cancel);
    ASSERT_TRUE(WaitFor([&] { return window->Tabs().Browsers().size() == 2; }));
    TTavuBrowser *shown = window->Tabs().Browsers().first();
    EXPECT_EQ(shown->Title, url);
    TTavuBrowser *current = nullptr;
    EXPECT_TRUE(window->Tabs().GetActiveBrowser(current) && current == shown);
    EXPECT_TRUE(WaitFor([&] { return PostTest::PageHtml(shown).contains(QStringLiteral("Exif無し")); }));
    EXPECT_TRUE(PostTest::PageHtml(shown).contains(QStringLiteral("<img src=\"%1\">").arg(url)));
    EXPECT_FALSE(env.tab->IsWebPage());

    TavuConfig->SHOWEXIFINFO = false;
    emit env.tab->Browser()->BeforeNavigate(QUrl(url), cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(window->Tabs().Browsers().size(), 2);
}
