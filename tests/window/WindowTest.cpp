// The main window's life after start-up: stop-all, the busy indication, closing and the files it
// writes, the lookups of the current tabs and the rendering trio with the response rules.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/MenuBar.h"
#include "controls/TabButton.h"
#include "controls/TavuSplitter.h"
#include "controls/WindowLists.h"
#include "controls/WindowServices.h"
#include "core/Bookmark.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "flows/ThreadController.h"
#include "net/TavuHttp.h"
#include "render/ResultView.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// A result view that records what the window hands it.
class TFakeView : public IResultView {
public:
    void BeginView(TResList *) override { ++begun; }
    void HideRes(TRes *res, const TTavuAction *) override { hidden.append(res->Number); }
    bool TakesRes(const TRes *res) const override { return !res->Hidden; }
    void AppendRes(TRes *res) override
    {
        shown.append(res->Number);
        bodies.append(res->Body);
        res->Visible = true;
    }
    bool EndView() override { return false; }

    int begun = 0;
    QList<int> hidden;
    QList<int> shown;
    QStringList bodies;
};

TTavuAction *AddRule(TTavuActionList &rules, int action, const QString &pattern, const QString &value2 = QString())
{
    auto rule = std::make_unique<TTavuAction>();
    rule->Target = TTavuAction::RESBODY;
    rule->Action = action;
    rule->Value1 = pattern;
    rule->Value2 = value2;
    rule->Boards.Add(TTargetBoard::AllSites(), QString(), true);
    TTavuAction *added = rule.get();
    rules.Add(std::move(rule));
    return added;
}

void WriteBbsTxt(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
}

// A thread of the board "news" of the site "2ch" with a stored log of the given messages.
class TThreadFixture {
public:
    explicit TThreadFixture(const QStringList &messages)
    {
        item = new TThreadItem;
        item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("1234567890"),
                          QStringLiteral("テストスレ"));
        list = std::make_unique<TResList>(item);
        QString log;
        for (int i = 0; i < messages.size(); ++i) {
            log += QStringLiteral("名無し<>sage<>2024/05/01 12:00:0%1 ID:abc<>%2<>%3\r\n")
                       .arg(i)
                       .arg(messages[i], i == 0 ? QStringLiteral("テストスレ") : QString());
        }
        const QByteArray bytes = jconvert::UnicodeToSjis(log);
        list->LoadDat(bytes);
        FileUtil::WriteFileAtomic(item->GetLogFile(), bytes);
    }
    ~TThreadFixture()
    {
        list.reset();
        item->Release();
    }

    // Renders every response through the window's trio.
    void Render(TVarneloWindow *window, IResultView *view) const
    {
        Part<TThreadController>(window)->BeginResView(view, list.get());
        for (int i = 0; i < list->Count(); ++i)
            Part<TThreadController>(window)->AppendResToView(view, list.get(), list->Get(i));
        Part<TThreadController>(window)->EndResView(view);
    }

    TThreadItem *item;
    std::unique_ptr<TResList> list;
};

}  // namespace

TEST(WindowTest, StopAllLogsBothLinesTwoSecondsApart)
{
    TWindowEnv env;
    env.Start();
    env.Window->BeginBusy();
    env.Window->Action(QStringLiteral("actDisconnect"))->trigger();
    EXPECT_EQ(env.LogLines().last(), QStringLiteral("すべての処理を中止します。"));
    EXPECT_TRUE(TavuEnviron->IsStopped());

    // The end waits for its timer: two seconds, once.
    auto *end = env.Window->findChild<QTimer *>(QStringLiteral("DisconnectTimer"));
    ASSERT_NE(end, nullptr);
    ASSERT_TRUE(end->isActive());
    EXPECT_EQ(end->interval(), 2000);
    EXPECT_TRUE(end->isSingleShot());
    QCoreApplication::processEvents();
    EXPECT_FALSE(env.LogLines().contains(QStringLiteral("すべての処理を中止しました。")));
    EXPECT_TRUE(TavuEnviron->IsStopped());

    ASSERT_TRUE(QMetaObject::invokeMethod(end, "timeout"));   // the two seconds are up
    EXPECT_EQ(env.LogLines().last(), QStringLiteral("すべての処理を中止しました。"));
    EXPECT_FALSE(end->isActive());
    EXPECT_FALSE(TavuEnviron->IsStopped());
    EXPECT_EQ(env.Window->BusyCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WindowTest, BusyIndicationEndsWithTheLastRequest)
{
    TWindowEnv env;
    env.Start();
    QMovie *animation = Part<QLabel>(env.Window, "Animate1")->movie();
    ASSERT_NE(animation, nullptr);
    // The icons of the seeded kpw.ini are named relative to the program folder.
    auto shownIcon = [&] { return env.Window->windowIcon().pixmap(16, 16).toImage(); };
    const QImage idle = QIcon(env.Root.File(QStringLiteral("resource/tavu.ico"))).pixmap(16, 16).toImage();
    const QImage busy = QIcon(env.Root.File(QStringLiteral("resource/busy.ico"))).pixmap(16, 16).toImage();
    ASSERT_FALSE(idle.isNull());
    ASSERT_NE(idle, busy);
    EXPECT_EQ(shownIcon(), idle);
    env.Window->BeginBusy();
    env.Window->BeginBusy();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(animation->state(), QMovie::Running);
    EXPECT_EQ(shownIcon(), busy);
    // The program's other windows keep its icon.
    EXPECT_EQ(QApplication::windowIcon().pixmap(16, 16).toImage(), idle);
    env.Window->EndBusy();
    EXPECT_EQ(env.Window->BusyCount(), 1);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    env.Window->EndBusy();
    env.Window->EndBusy();   // one too many never goes below zero
    EXPECT_EQ(env.Window->BusyCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_NE(animation->state(), QMovie::Running);
    EXPECT_EQ(shownIcon(), idle);
}

// The top band's tool bars follow the stored band order and row breaks, and are stored back so.
TEST(WindowTest, ToolBarBandsKeepTheirOrderAndBreaks)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    TIniFile &ini = TavuConfig->Ini;
    const QString section = QStringLiteral("COOLBAR1");
    ini.EraseSection(section);
    const int ids[] = {3, 0, 1, 2, 4};   // MainActToolBar first, then the menu bar on a row of its own
    const bool breaks[] = {true, true, false, false, false};
    for (int i = 0; i < 5; ++i) {
        ini.WriteInteger(section, QStringLiteral("BAND%1ID").arg(i), ids[i]);
        ini.WriteBool(section, QStringLiteral("BAND%1BR").arg(i), breaks[i]);
    }
    env.Window->LoadCoolBarLayout();
    QCoreApplication::processEvents();   // the layout the bands asked for
    EXPECT_LT(Part<QToolBar>(env.Window, "MainActToolBar")->y(), Part<TMenuBar>(env.Window, "MenuBar1")->y());
    EXPECT_EQ(Part<QToolBar>(env.Window, "ToolBar7")->y(), Part<TMenuBar>(env.Window, "MenuBar1")->y());
    EXPECT_LT(Part<TMenuBar>(env.Window, "MenuBar1")->x(), Part<QToolBar>(env.Window, "ToolBar7")->x());

    ini.EraseSection(section);
    env.Window->StoreBarLayout();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ini.ReadInteger(section, QStringLiteral("BAND%1ID").arg(i), -1), ids[i]) << i;
        EXPECT_EQ(ini.ReadBool(section, QStringLiteral("BAND%1BR").arg(i)), i > 0 && breaks[i]) << i;
    }
}

// The panes shown are stored for the next start as their commands are checked, both ways.
TEST(WindowTest, ShownPanesAreStoredByTheirCommands)
{
    TWindowEnv env;
    env.Start();
    QAction *browser = env.Window->Action(QStringLiteral("actShowBrowser"));
    if (!TActionList::HasHandler(browser))   // the pane command is there (with its own handler or this one)
        Part<TActionList>(env.Window, "ActionList1")->Bind(QStringLiteral("actShowBrowser"), env.Window, [] {});
    browser->setChecked(false);
    env.Window->StoreBarLayout();
    EXPECT_FALSE(TavuConfig->DESKTOP_SHOWBROWSER);
    browser->setChecked(true);
    env.Window->StoreBarLayout();
    EXPECT_TRUE(TavuConfig->DESKTOP_SHOWBROWSER);
}

// The pane sizes are stored as the user left them and come back so when the layout is read again:
// the board pane's width, the thread-list pane's height and the log pane's height.
TEST(WindowTest, PaneSizesComeBackAsTheyWereStored)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    QCoreApplication::processEvents();
    auto *boards = Part<TTavuSplitter>(env.Window, "BoardListSplitter");
    auto *body = Part<QSplitter>(env.Window, "ThreadListSplitter");
    auto *log = Part<QSplitter>(env.Window, "MessageSplitter");
    const auto along = [](const QSplitter *splitter) { return splitter->sizes().value(0) + splitter->sizes().value(1); };
    boards->setSizes({170, along(boards) - 170});
    body->setSizes({150, along(body) - 150});
    log->setSizes({along(log) - 130, 130});
    const auto storedLayout = [] {
        QList<int> values;
        for (const char *key : {"LEFT", "TOP", "WIDTH", "HEIGHT", "WINDOWSTATE", "BOARDLISTWIDTH", "THREADLISTHEIGHT",
                                "MESSAGEHEIGHT"})
            values.append(TavuConfig->Ini.ReadInteger(QStringLiteral("DESKTOP"), QString::fromLatin1(key), -1));
        return values;
    };
    env.Window->StoreBarLayout();
    const QList<int> stored = storedLayout();
    EXPECT_EQ(stored.mid(5), QList<int>({170, 150, 130}));

    boards->setSizes({260, along(boards) - 260});
    body->setSizes({300, along(body) - 300});
    log->setSizes({along(log) - 190, 190});
    env.Window->LoadCoolBarLayout();
    QCoreApplication::processEvents();
    env.Window->StoreBarLayout();
    EXPECT_EQ(storedLayout(), stored);
}

// Closing right after a stop-all still saves the rules, the bookmarks and the board tree's state.
TEST(WindowTest, ClosingWritesTheRulesBookmarksAndTreeStateEvenAfterStopAll)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    AddRule(*env.Window->Services().Rules().ResRules(), TTavuAction::ABONE, QStringLiteral("宣伝"));
    AddRule(*env.Window->Services().Rules().ThreadRules(), TTavuAction::SETBOLD, QStringLiteral("祭り"));
    env.Window->StoredLists().BookmarkList.SetValue(QStringLiteral("2ch/news/1234567890"),
                                                    QStringLiteral("テストスレ"));
    Part<QTreeWidget>(env.Window, "BoardListView")->topLevelItem(0)->setExpanded(false);
    const QString recentBoard = QStringLiteral("2ch\tnews\tニュース速報＠２ちゃんねる");
    const QString recentThread = QStringLiteral("2ch\tnews\t1234567890\tテストスレ／ニュース速報＠２ちゃんねる");
    env.Window->StoredLists().RecentBoards.Lines.prepend(recentBoard);
    env.Window->StoredLists().RecentThreads.Lines.prepend(recentThread);

    env.Window->Action(QStringLiteral("actDisconnect"))->trigger();
    ASSERT_TRUE(TavuEnviron->IsStopped());
    EXPECT_TRUE(env.Close());
    TTavuHttp stuck;   // a job that never ends: the destruction waits for it with the stop flag set
    TavuHttpList->Add(&stuck);
    env.Destroy();
    EXPECT_EQ(TavuHttpList->Count(), 0);

    TTavuActionList resRules;
    TTavuActionList threadRules;
    ASSERT_TRUE(resRules.LoadFromFile(env.Profile(QStringLiteral("ngres.txt"))));
    ASSERT_TRUE(threadRules.LoadFromFile(env.Profile(QStringLiteral("ngthread.txt"))));
    EXPECT_EQ(resRules.Get(resRules.Count() - 1)->Value1, QStringLiteral("宣伝"));
    EXPECT_EQ(threadRules.Get(threadRules.Count() - 1)->Value1, QStringLiteral("祭り"));
    TTextList bookmarks;
    ASSERT_TRUE(bookmarks.LoadFromFile(env.Profile(QStringLiteral("bookmark.txt"))));
    EXPECT_EQ(bookmarks.Value(QStringLiteral("2ch/news/1234567890")), QStringLiteral("テストスレ"));
    TIniFile tree(env.Profile(QStringLiteral("boardcnf.ini")));
    EXPECT_TRUE(tree.SectionExists(QStringLiteral("2ch")));
    EXPECT_FALSE(tree.ReadString(QStringLiteral("2ch"), QStringLiteral("TOP")).isEmpty());

    // The recent boards and threads of this run are there at the next start.
    env.Window = new TVarneloWindow;
    EXPECT_EQ(env.Window->StoredLists().RecentBoards.Lines.value(0), recentBoard);
    EXPECT_EQ(env.Window->StoredLists().RecentThreads.Lines.value(0), recentThread);
}

// A thread opened just before the window goes: the cache loader's end report still reaches the
// window while it exists, and nothing reports to it afterwards.
TEST(WindowTest, ClosingRightAfterOpeningAThreadTakesTheLoadersLastReport)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    QStringList logged;
    QObject::connect(Part<QPlainTextEdit>(env.Window, "Memo1"), &QPlainTextEdit::textChanged, [&] {
        logged = Part<QPlainTextEdit>(env.Window, "Memo1")->toPlainText().split(QLatin1Char('\n'));
    });
    TThreadFixture thread({QStringLiteral("一"), QStringLiteral("二")});
    env.Window->OpenThread(thread.item, false, true, true, 0, false, QString());
    ASSERT_EQ(env.Window->Tabs().Browsers().size(), 1);
    env.Destroy();
    EXPECT_FALSE(logged.filter(QStringLiteral("キャッシュ(")).isEmpty());
    // nothing is left to call into the window that is gone
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(WindowTest, ExitWarningAnsweredNoKeepsTheWindow)
{
    TWindowEnv env;
    env.Start();
    TavuConfig->EXIT_WARNING = true;
    env.Answer = Dialogs::mrNo;
    env.Window->show();
    EXPECT_FALSE(env.Close());
    EXPECT_TRUE(env.Window->isVisible());
    EXPECT_EQ(env.Messages, QStringList{QStringLiteral("ヴァルネロを終了しますか？")});
    EXPECT_FALSE(QFile::exists(env.Profile(QStringLiteral("ngres.txt"))));

    env.Answer = Dialogs::mrYes;
    EXPECT_TRUE(env.Close());
    EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("ngres.txt"))));
}

TEST(WindowTest, CurrentTabsAreThePressedButtons)
{
    TWindowEnv env;
    env.Start();
    TTavuListDoc *doc = nullptr;
    TTavuBrowser *tab = nullptr;
    EXPECT_FALSE(env.Window->Tabs().GetActiveListDoc(doc));
    EXPECT_FALSE(env.Window->Tabs().GetActiveBrowser(tab));
    EXPECT_EQ(doc, nullptr);
    // Without a tab the tab commands are off, but an address can still be opened.
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actBrowserClose"))->isEnabled());
    EXPECT_TRUE(env.Window->Action(QStringLiteral("actBrowserNavigate"))->isEnabled());

    TTavuListDoc listDoc;
    auto *button = new TThreadListToolButton(Part<QToolBar>(env.Window, "ThreadListBar"));
    Part<QToolBar>(env.Window, "ThreadListBar")->addWidget(button);
    button->ListDoc = &listDoc;
    EXPECT_FALSE(env.Window->Tabs().GetActiveListDoc(doc));   // not pressed
    button->setChecked(true);
    ASSERT_TRUE(env.Window->Tabs().GetActiveListDoc(doc));
    EXPECT_EQ(doc, &listDoc);
    env.Window->UpdateThreadListMenu();   // a tab without a board: its board commands stay off
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actThreadListReload"))->isEnabled());
    delete button;
}

// ---- the rendering trio ----

TEST(WindowTest, ReplaceRuleChangesOnlyWhatTheViewShows)
{
    TWindowEnv env;
    env.Start();
    TTavuAction *rule = AddRule(*env.Window->Services().Rules().ResRules(), TTavuAction::REPLACE, QStringLiteral("馬鹿"),
                                QStringLiteral("＊＊"));
    TThreadFixture thread({QStringLiteral("こんにちは"), QStringLiteral("馬鹿と言うな")});
    const QByteArray storedLine = thread.list->Get(1)->ToDatLine();

    TFakeView view;
    thread.Render(env.Window, &view);
    thread.Render(env.Window, &view);   // a second rendering shows the same and counts nothing
    EXPECT_EQ(view.shown, (QList<int>{1, 2, 1, 2}));
    EXPECT_EQ(view.bodies[1], QStringLiteral("＊＊と言うな"));
    EXPECT_EQ(view.bodies[3], QStringLiteral("＊＊と言うな"));
    EXPECT_EQ(rule->HitCount, 1);
    EXPECT_EQ(thread.list->Get(1)->Body, QStringLiteral("馬鹿と言うな"));
    EXPECT_EQ(thread.list->Get(1)->ToDatLine(), storedLine);
    EXPECT_TRUE(thread.list->Get(1)->Visible);
}

TEST(WindowTest, HideRuleStopsTheRulesAfterIt)
{
    TWindowEnv env;
    env.Start();
    TTavuAction *hide = AddRule(*env.Window->Services().Rules().ResRules(), TTavuAction::ABONE, QStringLiteral("宣伝"));
    TTavuAction *replace =
        AddRule(*env.Window->Services().Rules().ResRules(), TTavuAction::REPLACE, QStringLiteral("宣伝"), QStringLiteral("x"));
    hide->Chain = true;
    TThreadFixture thread({QStringLiteral("一"), QStringLiteral("宣伝です"), QStringLiteral("&gt;&gt;2 なにこれ")});

    TFakeView view;
    thread.Render(env.Window, &view);
    EXPECT_EQ(view.hidden, (QList<int>{2, 3}));   // 3 refers to the hidden 2
    EXPECT_EQ(view.shown, QList<int>{1});
    EXPECT_EQ(replace->HitCount, 0);
    EXPECT_TRUE(thread.list->Get(1)->Hidden);

    TFakeView again;
    thread.Render(env.Window, &again);
    EXPECT_EQ(again.shown, QList<int>{1});
    EXPECT_EQ(hide->HitCount, 1);
}

TEST(WindowTest, ResponsesErasedInTheInfAreHidden)
{
    TWindowEnv env;
    env.Start();
    TThreadFixture thread({QStringLiteral("一"), QStringLiteral("二")});
    TIniFile inf(thread.item->GetInfFile());
    inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES2"), true);
    inf.UpdateFile();

    TFakeView view;
    thread.Render(env.Window, &view);
    EXPECT_EQ(view.shown, QList<int>{1});
}

// Rules log, bookmark and mark in bold only in a tab the user sees; a bookmark is taken once.
TEST(WindowTest, RulesActInVisibleTabsOnly)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    AddRule(*env.Window->Services().Rules().ResRules(), TTavuAction::BOOKMARK, QStringLiteral("良スレ"));
    AddRule(*env.Window->Services().Rules().ResRules(), TTavuAction::RESMARK, QStringLiteral("良スレ"));
    TThreadFixture thread({QStringLiteral("一"), QStringLiteral("良スレ認定")});
    const QString bookmarkKey = QStringLiteral("2ch/news/1234567890");

    thread.Render(env.Window, Part<TTavuBrowser>(env.Window, "PrivateBrowser"));
    EXPECT_FALSE(env.LogLines().join(QLatin1Char('\n')).contains(QStringLiteral("アクション作動")));
    EXPECT_TRUE(env.Window->StoredLists().BookmarkList.Value(bookmarkKey).isEmpty());

    TThreadFixture again({QStringLiteral("一"), QStringLiteral("良スレ認定")});
    TTavuBrowser tab(Part<QWidget>(env.Window, "BrowserViewPanel"));
    again.Render(env.Window, &tab);
    again.Render(env.Window, &tab);
    const QStringList lines = env.LogLines().filter(QStringLiteral("『しおり』"));
    EXPECT_EQ(lines, QStringList{QStringLiteral("・アクション作動：『しおり』　→2:名無し")});
    EXPECT_EQ(env.Window->StoredLists().BookmarkList.Value(bookmarkKey), QStringLiteral("テストスレ"));
    TThreadItem *reread = new TThreadItem;
    reread->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("1234567890"), QString());
    reread->LoadInfo();
    EXPECT_EQ(reread->Bookmarks.Count(), 1);
    reread->Release();

    TFakeView view;   // not a tab: no bold
    TThreadFixture third({QStringLiteral("一"), QStringLiteral("良スレ認定")});
    third.Render(env.Window, &view);
    EXPECT_EQ(view.bodies[1], QStringLiteral("良スレ認定"));
}
