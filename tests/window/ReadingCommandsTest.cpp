// The everyday reading commands through the real window and the board server: a reload that appends
// to the live page, the tab commands, fetching a log anew after the server's log shrank, and the
// copy commands.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "commands/CopyFormats.h"
#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/TabButton.h"
#include "controls/WindowServices.h"
#include "core/Bookmark.h"
#include "core/FileUtil.h"
#include "core/ThreadItemList.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "render/TavuResWriter.h"
#include "tools/SendDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QItemSelectionModel>
#include <QMenu>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");

void OpenAndSettle(TPostWindowEnv &env, TThreadItem *item, bool newTab = false)
{
    OpenThread(env, item, false, newTab);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
}

// Three threads of two responses on news, their list downloaded and shown in doc.
void ShowThreeThreads(TPostWindowEnv &env, TTavuListDoc *&doc)
{
    for (int i = 1; i <= 3; ++i)
        AddThread(env.server, News, QStringLiteral("100000000%1").arg(i), 2);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), true, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    doc = env.Window()->ListPane().ShownListDoc();
    ASSERT_TRUE(doc && doc->Items()->Count() == 3);
}

void Trigger(TPostWindowEnv &env, const QString &name)
{
    QAction *action = env.Window()->Action(name);
    ASSERT_TRUE(action) << name.toStdString();
    ASSERT_TRUE(action->isEnabled()) << name.toStdString();
    action->trigger();
}

int Occurrences(const QString &html, const QString &text)
{
    return int(html.count(text));
}

QByteArray AsLog(QByteArray dat)
{
    return dat.replace("\n", "\r\n");
}

}  // namespace

TEST(ReadingCommands, AReloadAppendsExactlyTheNewResponsesToTheLivePage)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_EQ(Occurrences(PageHtml(tab), QStringLiteral("本文3")), 1);

    int pageLoads = 0;
    QObject::connect(tab->Browser()->page(), &QWebEnginePage::loadStarted, [&pageLoads] { ++pageLoads; });
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("追加A"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("追加B"));
    env.server.ClearLog();
    Trigger(env, QStringLiteral("actThreadReload"));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));

    const QString html = PageHtml(tab);
    for (const QString &body : {QStringLiteral("本文1"), QStringLiteral("本文2"), QStringLiteral("本文3"),
                                QStringLiteral("追加A"), QStringLiteral("追加B")})
        EXPECT_EQ(Occurrences(html, body), 1) << body.toStdString();
    EXPECT_LT(html.indexOf(QStringLiteral("本文3")), html.indexOf(QStringLiteral("追加A")));
    EXPECT_EQ(pageLoads, 0);   // appended, not loaded again
    EXPECT_EQ(tab->ResList()->Count(), 5);
    ASSERT_EQ(env.server.RequestsTo(QStringLiteral("/dat/")).size(), 1);
    EXPECT_FALSE(env.server.RequestsTo(QStringLiteral("/dat/")).first().Header("Range").isEmpty());
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), AsLog(env.server.DatBytes(News, Key)));

    // The same path after a post: the thread grows in place again.
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("追加C"));
    env.Window()->OpenThread(item.get(), true, false, true, 0, true, QString());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    const QString after = PageHtml(tab);
    EXPECT_EQ(Occurrences(after, QStringLiteral("追加A")), 1);
    EXPECT_EQ(Occurrences(after, QStringLiteral("追加C")), 1);
    EXPECT_EQ(pageLoads, 0);
}

TEST(ReadingCommands, CloseAllSkipsLockedTabsAndNextAndPriorWrap)
{
    TPostWindowEnv env;
    QList<ItemRef *> items;
    for (int i = 1; i <= 4; ++i) {
        const QString key = QStringLiteral("100000000%1").arg(i);
        AddThread(env.server, News, key, 2);
        items << new ItemRef(NewsItem(env, key));
        OpenAndSettle(env, items.last()->get(), true);
    }
    const auto cleanup = qScopeGuard([&items] { qDeleteAll(items); });
    TVarneloWindow *window = env.Window();
    const QList<TTavuBrowser *> order = env.Window()->Tabs().BrowserTabOrder();
    ASSERT_EQ(order.size(), 4);
    auto current = [&] { return window->Services().Tabs().CurrentBrowser(); };

    window->Tabs().ShowBrowserTab(order.last(), false);
    Trigger(env, QStringLiteral("actBrowserNextTab"));
    EXPECT_EQ(current(), order.first());   // past the last: the first
    Trigger(env, QStringLiteral("actBrowserPriorTab"));
    EXPECT_EQ(current(), order.last());    // before the first: the last
    Trigger(env, QStringLiteral("actBrowserPriorTab"));
    EXPECT_EQ(current(), order.at(2));

    order.at(1)->Locked = true;
    window->Tabs().ShowBrowserTab(order.at(0), false);
    Trigger(env, QStringLiteral("actBrowserCloseAll"));   // all but this one, and the locked one
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->Tabs().Browsers().size(), 2);
    EXPECT_TRUE(window->Tabs().Browsers().contains(order.at(0)));
    EXPECT_TRUE(window->Tabs().Browsers().contains(order.at(1)));

    Trigger(env, QStringLiteral("actBrowserClose"));
    EXPECT_EQ(window->Tabs().Browsers().size(), 1);

    // A locked tab asks first; No keeps it.
    env.env.Answer = Dialogs::mrNo;
    Trigger(env, QStringLiteral("actBrowserClose"));
    EXPECT_EQ(window->Tabs().Browsers().size(), 1);
    EXPECT_TRUE(env.env.Messages.last().contains(QStringLiteral("ロックされています")));
    Trigger(env, QStringLiteral("actBrowserCloseAll2"));   // a locked tab stays even then
    EXPECT_EQ(window->Tabs().Browsers().size(), 1);
    env.env.Answer = Dialogs::mrYes;
    Trigger(env, QStringLiteral("actBrowserClose"));
    EXPECT_TRUE(window->Tabs().Browsers().isEmpty());
}

TEST(ReadingCommands, AMiddleClickOnATabButtonClosesItsTab)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 2);
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    auto *button = qobject_cast<TTavuToolButton *>(tab->TabButton);
    ASSERT_TRUE(button);
    emit button->MiddleClicked(button);   // BROWSERTAB WHEELCLICK 1 (the default): close
    EXPECT_TRUE(env.Window()->Tabs().Browsers().isEmpty());
}

// "スレッドを削除してタブを閉じる" does what it says: the log goes, and the tab with it.
TEST(ReadingCommands, DeleteLogAndCloseRemovesTheLogAndTheTab)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 2);
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    const QString log = item->GetLogFile();
    ASSERT_TRUE(QFile::exists(log));
    Trigger(env, QStringLiteral("actThreadDeleteLogClose"));
    EXPECT_TRUE(env.Window()->Tabs().Browsers().isEmpty());
    EXPECT_FALSE(QFile::exists(log));
}

// The server's log lost a response: the update names the command that repairs it, and that
// command ends with the server's log, each response once, the old log kept as ".bak".
TEST(ReadingCommands, FetchingTheLogAnewAfterTheServerLogShrankEndsWithTheServersLog)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 5);
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    const QByteArray oldLog = FileUtil::ReadFile(item->GetLogFile());

    QList<QByteArray> lines = env.server.DatBytes(News, Key).split('\n');
    lines.removeAt(3);   // response 4 deleted on the server
    env.server.SetDatBytes(News, Key, lines.join('\n'));
    Trigger(env, QStringLiteral("actThreadReload"));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    ASSERT_FALSE(env.env.Messages.isEmpty());
    EXPECT_TRUE(env.env.Messages.last().contains(QStringLiteral("ログの再取得")));

    Trigger(env, QStringLiteral("actThreadRefresh"));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), AsLog(env.server.DatBytes(News, Key)));
    EXPECT_EQ(FileUtil::ReadFile(item->GetBakFile()), oldLog);
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    EXPECT_EQ(tab->ResList()->Count(), 4);
    const QString html = PageHtml(tab);
    EXPECT_EQ(Occurrences(html, QStringLiteral("本文4")), 0);
    for (const QString &body : {QStringLiteral("本文1"), QStringLiteral("本文3"), QStringLiteral("本文5")})
        EXPECT_EQ(Occurrences(html, body), 1) << body.toStdString();
}

// A log whose copy cannot be made is not deleted.
TEST(ReadingCommands, FetchingTheLogAnewKeepsTheLogWhenItsBackupFails)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    const QByteArray log = FileUtil::ReadFile(item->GetLogFile());
    QDir().mkpath(item->GetBakFile() + QStringLiteral("/blocked"));   // a folder where the copy goes

    Trigger(env, QStringLiteral("actThreadRefresh"));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), log);
    EXPECT_TRUE(env.env.Messages.last().contains(QStringLiteral("ログは削除していません")));
}

TEST(ReadingCommands, TheCopyCommandsPutTheirFormatsOnTheClipboard)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->COPYWITHBOARDNAME = true; });
    env.server.AddThread(News, Key, QStringLiteral("コピーのスレ"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QStringLiteral("sage"), QStringLiteral("一つ目"));
    env.server.AppendRes(News, Key, QStringLiteral("<b>太郎</b>"), QStringLiteral(" age "),
                         QStringLiteral("一行目<br> 二行目"));
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    tab->ClickedResNumber = 2;
    const TRes *res = tab->ResList()->Get(1);
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QString url = item->BBS->GetReadUrl(item.get());
    const QString oneUrl = item->BBS->GetReadUrlRange(item.get(), 2, 2, true);
    const QString header = QStringLiteral("2 名前:太郎 投稿日:%1 %2")
                               .arg(res->Date, res->ID.isEmpty() ? QString() : QStringLiteral("ID:") + res->ID);

    Trigger(env, QStringLiteral("actThreadCopyTitleUrl"));
    EXPECT_EQ(clipboard->text(), QStringLiteral("コピーのスレ＠ニュース\r\n") + url + QStringLiteral("\r\n"));
    Trigger(env, QStringLiteral("actSelectResCopy"));
    EXPECT_EQ(clipboard->text(), header + QStringLiteral("\r\n一行目\r\n二行目"));
    Trigger(env, QStringLiteral("actSelectResCopy2"));
    EXPECT_EQ(clipboard->text(), header + QStringLiteral("\r\n>一行目\r\n>二行目"));
    Trigger(env, QStringLiteral("actSelectResCopyEx"));
    EXPECT_EQ(clipboard->text(), QStringLiteral("コピーのスレ／ニュース\r\n") + oneUrl + QStringLiteral("\r\n\r\n") + header
                                     + QStringLiteral("\r\n一行目\r\n二行目"));
    Trigger(env, QStringLiteral("actSelectResCopyHandle"));
    EXPECT_EQ(clipboard->text(), QStringLiteral("太郎"));
    Trigger(env, QStringLiteral("actSelectResCopyMail"));
    EXPECT_EQ(clipboard->text(), QStringLiteral("age"));
    Trigger(env, QStringLiteral("actSelectResURLCopyEx"));
    EXPECT_EQ(clipboard->text(), oneUrl);
}

// Quoting a reply that opens with an anchor quotes its words alone: no empty quoted line.
TEST(ReadingCommands, AQuotedReplyLosesTheLineOfItsAnchor)
{
    TPostWindowEnv env;
    env.server.AddThread(News, Key, QStringLiteral("引用のスレ"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("一つ目"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(),
                         QStringLiteral("<a href=\"../test/read.cgi/news/%1/1\" target=\"_blank\">&gt;&gt;1</a> <br> 同意 <br> &lt;本当&gt;").arg(Key));
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    tab->ClickedResNumber = 2;
    Trigger(env, QStringLiteral("actSelectResWrite2"));
    const QList<TSendDialog *> composers = env.Window()->findChildren<TSendDialog *>();
    ASSERT_EQ(composers.size(), 1);
    EXPECT_EQ(composers.first()->SenderBody->toPlainText(), QStringLiteral(">>2\n>同意\n><本当>\n"));
    composers.first()->close();
}

// Hovering an internal link shows in the status bar what the link stands for, a page's URL as it is.
TEST(ReadingCommands, TheStatusBarNamesWhatAnInternalLinkStandsFor)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 2);
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    const auto shown = [&](const QString &hovered) {
        emit tab->StatusTextChange(hovered);
        return Part<TStatusBar>(env.Window(), "StatusBar2")->Text(1);
    };
    EXPECT_EQ(shown(TTavuResWriter::IdLink(QStringLiteral("Ab+1/cD"))), QStringLiteral("ID:Ab+1/cD"));
    EXPECT_EQ(shown(TTavuResWriter::ResLink(12)), QStringLiteral("レス 12"));
    EXPECT_EQ(shown(TTavuResWriter::BeLink(QStringLiteral("123456"))), QStringLiteral("BE:123456"));
    EXPECT_EQ(shown(QStringLiteral("http://example.test/page.html")), QStringLiteral("http://example.test/page.html"));
    EXPECT_EQ(tab->StatusText, QStringLiteral("http://example.test/page.html"));
}

// "指定レスへ移動": a number goes to its response; an erased one is named; text that is not a
// number is refused with a message.
TEST(ReadingCommands, GoToResponseRefusesTextAndNamesAnErasedResponse)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 4);
    ItemRef item(NewsItem(env, Key));
    OpenAndSettle(env, item.get());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    tab->ResList()->Get(2)->Erased = true;

    QString typed;
    QString dialogClass;
    Dialogs::TScopedDialogHandlers handlers(
        [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            env.env.Messages.append(text);
            return Dialogs::mrOK;
        },
        [&](QDialog &dialog) {
            dialogClass = QString::fromLatin1(dialog.metaObject()->className());
            if (auto *input = qobject_cast<QInputDialog *>(&dialog))
                input->setTextValue(typed);
            return int(QDialog::Accepted);
        });
    typed = QStringLiteral("abc");
    Trigger(env, QStringLiteral("actThreadGoRes"));
    EXPECT_EQ(dialogClass, QStringLiteral("QInputDialog"));
    EXPECT_EQ(env.env.Messages.last(), QStringLiteral("レス番号を数字で入力してください。"));
    typed = QStringLiteral("３");   // full-width digits count
    Trigger(env, QStringLiteral("actThreadGoRes"));
    EXPECT_EQ(env.env.Messages.last(), QStringLiteral("指定のレスは消去されています。"));
    const qsizetype messages = env.env.Messages.size();
    typed = QStringLiteral("4");
    Trigger(env, QStringLiteral("actThreadGoRes"));
    EXPECT_EQ(env.env.Messages.size(), messages);   // a shown response is simply scrolled to
}

// "次のスレッドへ" skips past logs even with unread responses.
TEST(ReadingCommands, NextUnreadSkipsPastLogs)
{
    TPostWindowEnv env;
    TTavuListDoc *doc = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowThreeThreads(env, doc));
    TThreadItemList &items = *doc->Items();
    items.Get(0)->DownloadRequest = true;
    OpenAndSettle(env, items.Get(0));
    items.Get(1)->SetKakolog(true);
    items.Get(1)->AGECOUNT = 2;
    items.Get(2)->AGECOUNT = 2;
    Trigger(env, QStringLiteral("actThreadReadNext"));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(env.Window()->Services().Tabs().CurrentBrowser()->ThreadItem(), items.Get(2));
}

// In a long listing "次のスレッドへ" finds the open thread's place without making an item for
// each row before it: only the rows it passes after the thread are looked at.
TEST(ReadingCommands, NextUnreadInALongListingMakesNoItemBeforeTheThread)
{
    TPostWindowEnv env;
    const int threads = 400;
    for (int i = 0; i < threads; ++i)
        AddThread(env.server, News, QString::number(1000000000 + i), 1);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), true, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
    ASSERT_TRUE(doc && doc->Items()->Count() == threads);
    TThreadItemList &items = *doc->Items();
    const int open = threads - 2;
    ASSERT_EQ(items.Peek(open - 1), nullptr);   // a row past the first page, not made yet
    items.Get(open)->DownloadRequest = true;
    OpenAndSettle(env, items.Get(open));
    items.Get(open + 1)->AGECOUNT = 2;

    Trigger(env, QStringLiteral("actThreadReadNext"));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(env.Window()->Services().Tabs().CurrentBrowser()->ThreadItem(), items.Get(open + 1));
    EXPECT_EQ(items.Peek(open - 1), nullptr);
}

// The reading categories are whole: every command has its handler, except those whose windows are
// built elsewhere.
TEST(ReadingCommands, EveryReadingCommandHasItsHandler)
{
    TWindowEnv env;
    env.Start();
    const QStringList categories = {QStringLiteral("スレッド"), QStringLiteral("ブラウザ"), QStringLiteral("ブラウザ選択"),
                                    QStringLiteral("選択レス")};
    // Their windows: the browser's own options, the shortcut and property windows, export, link
    // extraction, the filter, query-erase and restore dialogs, the picture catalogue.
    const QStringList elsewhere = {QStringLiteral("actBrowserOption"), QStringLiteral("actThreadAddShortcut"),
                                   QStringLiteral("actThreadExport"), QStringLiteral("actThreadExtractLink"),
                                   QStringLiteral("actThreadFilter"), QStringLiteral("actThreadProperty"),
                                   QStringLiteral("actThreadQueryAbone"), QStringLiteral("actThreadRebone"),
                                   QStringLiteral("actThreadThumbnailImages"),
                                   QStringLiteral("actThreadThumbnailImagesNewOnly")};
    int checked = 0;
    for (QAction *action : Part<TActionList>(env.Window, "ActionList1")->Actions()) {
        if (!categories.contains(TActionList::CategoryOf(action)) || elsewhere.contains(action->objectName()))
            continue;
        ++checked;
        EXPECT_TRUE(TActionList::HasHandler(action)) << action->objectName().toStdString();
    }
    EXPECT_EQ(checked, 79 - int(elsewhere.size()));
}

// A web-page tab copies its title and URL with a closing line break; an address on the clipboard
// missing its "h", or beginning "www.", is completed before it opens.
TEST(ReadingCommands, PageCopiesAndAddressesFromTheClipboard)
{
    TWindowEnv env;
    env.Start();
    TTavuBrowser *tab = nullptr;
    env.Window->Tabs().NewBrowser(tab, nullptr, nullptr, true, QStringLiteral("ページ"));
    tab->URL = QStringLiteral("http://127.0.0.1:1/page");
    tab->Title = QStringLiteral("ページ");
    env.Window->UpdateBrowserMenu();
    QClipboard *clipboard = QGuiApplication::clipboard();
    env.Window->Action(QStringLiteral("actThreadCopyTitleUrl"))->trigger();
    EXPECT_EQ(clipboard->text(), QStringLiteral("ページ\r\nhttp://127.0.0.1:1/page\r\n"));

    const struct {
        QString copied;
        QString opened;
    } cases[] = {{QStringLiteral("ttp://127.0.0.1:1/a"), QStringLiteral("http://127.0.0.1:1/a")},
                 {QStringLiteral("www.example.jp/b"), QStringLiteral("http://www.example.jp/b")},
                 {QStringLiteral("127.0.0.1:1/c"), QStringLiteral("127.0.0.1:1/c")}};
    for (const auto &c : cases) {
        clipboard->setText(c.copied);
        env.Window->Action(QStringLiteral("actBrowserNavClipboard"))->trigger();
        EXPECT_TRUE(Part<QComboBox>(env.Window, "UrlComboBox")->findText(c.opened) >= 0)
            << c.opened.toStdString();   // opened and kept
    }
}

// The row commands act on every selected row: the copies put each row's lines one after the other,
// the log deletion takes exactly the selected threads' logs.
TEST(ReadingCommands, ThreadListRowsAreCopiedAndTheirLogsDeleted)
{
    TPostWindowEnv env;
    TTavuListDoc *doc = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowThreeThreads(env, doc));
    TThreadItemList &items = *doc->Items();
    for (int i : {0, 1, 2}) {
        items.Get(i)->DownloadRequest = true;
        OpenAndSettle(env, items.Get(i), true);
    }
    env.Window()->ListPane().ShowListDoc(doc, true);
    QItemSelectionModel *selection = Part<TqorExtListView>(env.Window(), "ThreadListView")->selectionModel();
    const auto row = [&env](int number) {
        return Part<TqorExtListView>(env.Window(), "ThreadListView")->model()->index(number, 0);
    };
    selection->setCurrentIndex(row(0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->select(row(2), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    env.Window()->UpdateThreadListMenu();

    Trigger(env, QStringLiteral("actThreadListCopyTitleUrl"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              CopyFormats::ThreadText(*items.Get(0), CopyFormats::tcTitleUrl)
                  + CopyFormats::ThreadText(*items.Get(2), CopyFormats::tcTitleUrl));

    Trigger(env, QStringLiteral("actThreadListDeleteLog"));
    EXPECT_FALSE(items.Get(0)->LogExists());
    EXPECT_TRUE(items.Get(1)->LogExists());
    EXPECT_FALSE(items.Get(2)->LogExists());
}

namespace {

// A right click as the window system sends it: the press, then the context-menu request.
void RightClick(QWidget *widget, const QPoint &pos)
{
    QTest::mousePress(widget, Qt::RightButton, Qt::NoModifier, pos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, widget->mapToGlobal(pos));
    QCoreApplication::sendEvent(widget, &event);
    QTest::mouseRelease(widget, Qt::RightButton, Qt::NoModifier, pos);
}

}  // namespace

// A right click opens the menu of what is under the mouse: the board tree's, the thread list's, and
// the tab menus of a board tab and of a thread tab, whose tab the right button has made current.
TEST(ReadingCommands, ARightClickOpensTheMenuOfThePaneOrTabUnderTheMouse)
{
    TPostWindowEnv env;
    TTavuListDoc *doc = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowThreeThreads(env, doc));
    TThreadItemList &items = *doc->Items();
    for (int i : {0, 1}) {
        items.Get(i)->DownloadRequest = true;
        OpenAndSettle(env, items.Get(i), true);
    }
    TVarneloWindow *window = env.Window();
    const auto closeMenus = [window] {
        for (QMenu *menu : {Part<QMenu>(window, "BoardListPopup"), Part<QMenu>(window, "ThreadItemPopup"),
                            Part<QMenu>(window, "ThreadListPopup"), Part<QMenu>(window, "BrowserPopup")})
            menu->hide();
    };

    QTreeWidget *tree = Part<QTreeWidget>(window, "BoardListView");
    ASSERT_GT(tree->topLevelItemCount(), 0);
    RightClick(tree->viewport(), tree->visualItemRect(tree->topLevelItem(0)).center());
    EXPECT_TRUE(Part<QMenu>(window, "BoardListPopup")->isVisible());
    closeMenus();

    window->ListPane().ShowListDoc(doc, true);
    TqorExtListView *list = Part<TqorExtListView>(window, "ThreadListView");
    RightClick(list->viewport(), list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_TRUE(Part<QMenu>(window, "ThreadItemPopup")->isVisible());
    closeMenus();

    ASSERT_TRUE(doc->TabButton);
    RightClick(doc->TabButton, doc->TabButton->rect().center());
    EXPECT_TRUE(Part<QMenu>(window, "ThreadListPopup")->isVisible());
    closeMenus();

    TTavuBrowser *first = env.Window()->Tabs().BrowserTabOrder().first();
    ASSERT_NE(window->Services().Tabs().CurrentBrowser(), first);
    RightClick(first->TabButton, first->TabButton->rect().center());
    EXPECT_EQ(window->Services().Tabs().CurrentBrowser(), first);
    EXPECT_TRUE(Part<QMenu>(window, "BrowserPopup")->isVisible());
    closeMenus();
}
