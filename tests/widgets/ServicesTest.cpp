// The main window's services: bars and menus built from toolbar.ini, popup.ini, tool.txt and
// column.txt, key bindings, switching the commands off and on, the band layout, event sounds,
// the log pane and shortcut.txt cleanup.

#include "controls/BarsAndMenus.h"

#include "controls/ActionCatalogue.h"
#include "controls/CoolBarLayout.h"
#include "controls/ExtListView.h"
#include "controls/TavuSplitter.h"
#include "controls/TabMenuItem.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <memory>

namespace {

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

// What a bar or menu shows: action names, "-" for separators, "?" for a button without action,
// the text of any other item.
QStringList Shown(const QWidget *widget)
{
    QStringList shown;
    for (QAction *action : widget->actions()) {
        if (action->isSeparator())
            shown.append(QStringLiteral("-"));
        else if (qobject_cast<QWidgetAction *>(action))
            shown.append(QStringLiteral("?"));
        else if (!action->objectName().isEmpty())
            shown.append(action->objectName());
        else
            shown.append(action->text());
    }
    return shown;
}

QAction *FindText(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

// A profile with its configuration and registry set as the globals while the object lives.
struct ConfigEnv {
    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config = std::make_unique<TTavuConfig>();
    std::unique_ptr<TTavuEnviron> registry = std::make_unique<TTavuEnviron>();
    TTavuConfig *oldConfig = std::exchange(TavuConfig, config.get());
    TTavuEnviron *oldEnviron = std::exchange(TavuEnviron, registry.get());
    ~ConfigEnv()
    {
        TavuConfig = oldConfig;
        TavuEnviron = oldEnviron;
    }
    QString Profile(const QString &name) const { return config->GetProfileDir() + name; }
};

class BarsTest : public ::testing::Test {
protected:
    TempDataRoot root;
    TActionList actions;

    QString WriteFile(const QString &name, const QString &text)
    {
        root.Write(name, Sjis(text));
        return root.File(name);
    }
};

}  // namespace

// ---- toolbar.ini and popup.ini ----

TEST_F(BarsTest, ReadsEntriesInOrderUpToCount)
{
    TIniFile ini;
    ini.SetText(QStringLiteral("[A]\nCOUNT=5\nBUTTON2=-\nBUTTON1=actOnline\nBUTTON3=\nBUTTON4=actExit\nBUTTON6=actAbout\n"
                               "BUTTON04=actHide\n[B]\nCOUNT=0\nBUTTON1=actOnline\n[C]\nCOUNT=2000000000\nBUTTON2=actExit\n"));
    EXPECT_EQ(BarsAndMenus::ReadActionEntries(ini, QStringLiteral("A"), QStringLiteral("BUTTON")),
              QStringList({"actOnline", "-", "actExit"}));
    EXPECT_EQ(BarsAndMenus::ReadActionEntries(ini, QStringLiteral("B"), QStringLiteral("BUTTON")), QStringList());
    EXPECT_EQ(BarsAndMenus::ReadActionEntries(ini, QStringLiteral("C"), QStringLiteral("BUTTON")), QStringList({"actExit"}));
    EXPECT_FALSE(BarsAndMenus::ReadActionEntries(ini, QStringLiteral("D"), QStringLiteral("BUTTON")).has_value());
}

TEST_F(BarsTest, ToolBarIsRebuiltOnlyFromItsSection)
{
    const QString file = WriteFile(QStringLiteral("toolbar.ini"),
                                   QStringLiteral("[MainActToolBar]\r\nCOUNT=4\r\nBUTTON1=actOnline\r\nBUTTON2=-\r\n"
                                                  "BUTTON3=actRenamedLongAgo\r\nBUTTON4=actShitarabaMsg\r\n"
                                                  "[AppActToolBar]\r\nCOUNT=0\r\n"));
    QToolBar main;
    main.setObjectName(QStringLiteral("MainActToolBar"));
    QToolBar app;
    app.setObjectName(QStringLiteral("AppActToolBar"));
    QToolBar gaishutu;
    gaishutu.setObjectName(QStringLiteral("GaishutuToolBar"));
    for (QToolBar *bar : {&main, &app, &gaishutu})
        BarsAndMenus::FillToolBar(bar, BarsAndMenus::DesignedToolBar(bar->objectName()), actions);
    ASSERT_EQ(Shown(&gaishutu), QStringList({"actBoardGaishutu"}));

    QList<qsizetype> children;
    for (int round = 0; round < 2; ++round) {
        for (QToolBar *bar : {&main, &app, &gaishutu})
            BarsAndMenus::LoadToolBars(file, bar, actions);
        // A name no action has gives an empty button; an action without handler shows disabled.
        EXPECT_EQ(Shown(&main), QStringList({"actOnline", "-", "?", "actShitarabaMsg"}));
        EXPECT_EQ(Shown(&app), QStringList());                           // COUNT=0: empty, not the design
        EXPECT_EQ(Shown(&gaishutu), QStringList({"actBoardGaishutu"}));  // no section: kept
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        children.append(main.findChildren<QObject *>().size());
    }
    EXPECT_EQ(children[0], children[1]);   // reloading frees what the bar made before
}

TEST_F(BarsTest, PopupMenusGetTheirFixedEntriesOnce)
{
    const QString file = WriteFile(QStringLiteral("popup.ini"),
                                   QStringLiteral("[ThreadItemPopup]\r\nCOUNT=4\r\nITEM1=actThreadListBold\r\nITEM2=-\r\n"
                                                  "ITEM3=actRenamedLongAgo\r\nITEM4=actThreadListAddFav\r\n"
                                                  "[ResPopup]\r\nCOUNT=0\r\n"));
    QMenu item, list, res;
    item.setObjectName(QStringLiteral("ThreadItemPopup"));
    list.setObjectName(QStringLiteral("ThreadListPopup"));
    res.setObjectName(QStringLiteral("ResPopup"));
    BarsAndMenus::FillPopupMenu(&list, {QStringLiteral("actThreadListClose")}, actions);
    QList<int> pages;
    const auto showOptions = [&pages](int page) { pages.append(page); };

    for (int round = 0; round < 2; ++round) {
        for (QMenu *menu : {&item, &list, &res})
            BarsAndMenus::LoadPopupMenus(file, menu, actions, showOptions);
        EXPECT_EQ(Shown(&item), QStringList({"actThreadListBold", "-", "actThreadListAddFav", "-", "設定オプション..."}));
        EXPECT_EQ(Shown(&list), QStringList({"actThreadListClose", "-", "カスタマイズ..."}));
        EXPECT_EQ(Shown(&res), QStringList());
    }
    FindText(&item, QStringLiteral("設定オプション..."))->trigger();
    EXPECT_EQ(pages, QList<int>({4}));

    QMenu board;
    board.setObjectName(QStringLiteral("BoardListPopup"));
    BarsAndMenus::LoadPopupMenus(file, &board, actions, showOptions);
    FindText(&board, QStringLiteral("設定オプション..."))->trigger();
    EXPECT_EQ(pages, QList<int>({4, 3}));
}

TEST_F(BarsTest, ToolsMenuFollowsToolTxt)
{
    QMenu menu;
    menu.addAction(QStringLiteral("ツールの設定"));
    const QString file = WriteFile(QStringLiteral("tool.txt"),
                                   QStringLiteral("Rock & Roll\t/usr/bin/rock\t/tmp\t-x\t1\r\n   \r\n-\r\n"
                                                  "Plain\t/usr/bin/plain\t\t\t0\r\n"));
    QList<TToolMenuItem *> launched;
    for (int round = 0; round < 2; ++round)
        BarsAndMenus::LoadToolsMenu(&menu, file, [&launched](TToolMenuItem *item) { launched.append(item); });
    EXPECT_EQ(Shown(&menu), QStringList({"ツールの設定", "-", "Rock && Roll", "-", "Plain"}));

    auto *rock = qobject_cast<TToolMenuItem *>(menu.actions().at(2));
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->Program, QStringLiteral("/usr/bin/rock"));
    EXPECT_EQ(rock->WorkDir, QStringLiteral("/tmp"));
    EXPECT_EQ(rock->Arguments, QStringLiteral("-x"));
    EXPECT_TRUE(rock->AppendUrl);
    rock->trigger();
    EXPECT_EQ(launched, QList<TToolMenuItem *>({rock}));

    root.Write(QStringLiteral("tool.txt"), QByteArray());   // an empty list: only the separator
    BarsAndMenus::LoadToolsMenu(&menu, file, {});
    EXPECT_EQ(Shown(&menu), QStringList({"ツールの設定", "-"}));
    BarsAndMenus::LoadToolsMenu(&menu, root.File(QStringLiteral("missing.txt")), {});
    EXPECT_EQ(Shown(&menu), QStringList({"ツールの設定"}));
}

// ---- column.txt ----

TEST_F(BarsTest, ColumnFileGetsTheNewerColumnsAppended)
{
    const QString file = WriteFile(QStringLiteral("column.txt"), QStringLiteral("TITLE\r\nreadpoint\r\nOWNKEY\r\nUPDATE\r\n"));
    const QList<BarsAndMenus::TThreadListColumn> columns = BarsAndMenus::ThreadListColumns(BarsAndMenus::LoadColumnKeys(file));
    EXPECT_EQ(root.Read(QStringLiteral("column.txt")), QByteArray("TITLE\r\nreadpoint\r\nOWNKEY\r\nUPDATE\r\nSINCE\r\nTHREADNO\r\n"));

    QStringList keys, captions;
    for (const auto &column : columns) {
        keys.append(column.Key);
        captions.append(column.Caption);
    }
    EXPECT_EQ(keys, QStringList({"NO", "TITLE", "readpoint", "OWNKEY", "UPDATE", "SINCE", "THREADNO"}));
    EXPECT_EQ(captions, QStringList({"NO", "タイトル", "", "", "", "スレ立て日", "★"}));
    EXPECT_EQ(columns[2].ImageIndex, int(imgReadPoint));
    EXPECT_EQ(columns[4].ImageIndex, int(imgUpdate));
    EXPECT_EQ(columns[6].Alignment, Qt::AlignRight);

    // A missing file gets the three; the list view receives one column per key after "NO".
    TqorExtListView view;
    BarsAndMenus::LoadThreadListColumns(&view, BarsAndMenus::LoadColumnKeys(root.File(QStringLiteral("none/column.txt"))));
    EXPECT_EQ(view.ColumnCount(), 4);
    EXPECT_EQ(view.ColumnFormat(2).ImageIndex, int(imgReadPoint));
    EXPECT_EQ(root.Read(QStringLiteral("none/column.txt")), QByteArray("SINCE\r\nREADPOINT\r\nTHREADNO\r\n"));
}

// ---- key bindings and enabling ----

TEST_F(BarsTest, ShortcutKeysReplaceTheDesignedOnes)
{
    TIniFile ini;
    ini.SetText(QStringLiteral("[SHORTCUT]\nactThreadReload=F5\nactBrowserPriorTab=Ctrl+Num 1\nactExit=Hyper+Q\n"
                               "actBrowserNextTab=\n"));
    BarsAndMenus::ApplyShortcutKeys(ini, actions.Actions());
    EXPECT_EQ(actions.Action(QStringLiteral("actThreadReload"))->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(actions.Action(QStringLiteral("actBrowserPriorTab"))->shortcut(),
              QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_1)));
    EXPECT_TRUE(actions.Action(QStringLiteral("actExit"))->shortcut().isEmpty());
    EXPECT_TRUE(actions.Action(QStringLiteral("actBrowserNextTab"))->shortcut().isEmpty());
    EXPECT_TRUE(actions.Action(QStringLiteral("actThreadListNextTab"))->shortcut().isEmpty());   // missing key
}

TEST_F(BarsTest, SwitchingOffRemembersTheStatesUntilSwitchedOn)
{
    QMainWindow window;
    QToolBar menuBar;
    for (const char *name : {"actOnline", "actExit", "actAbout"})
        actions.Bind(QLatin1String(name), &window, [] {});
    actions.Action(QStringLiteral("actAbout"))->setEnabled(false);
    const QList<QAction *> all = actions.Actions();

    BarsAndMenus::SetActionsEnabled(&window, &menuBar, all, false);   // not showing: nothing happens
    EXPECT_TRUE(actions.Action(QStringLiteral("actOnline"))->isEnabled());

    window.show();
    BarsAndMenus::SetActionsEnabled(&window, &menuBar, all, false);
    BarsAndMenus::SetActionsEnabled(&window, &menuBar, all, false);   // a second switch-off keeps the first states
    EXPECT_FALSE(menuBar.isEnabled());
    EXPECT_FALSE(actions.Action(QStringLiteral("actOnline"))->isEnabled());
    window.hide();   // hidden while the post runs: switching on still restores
    BarsAndMenus::SetActionsEnabled(&window, &menuBar, all, true);
    EXPECT_TRUE(menuBar.isEnabled());
    EXPECT_TRUE(actions.Action(QStringLiteral("actOnline"))->isEnabled());
    EXPECT_TRUE(actions.Action(QStringLiteral("actExit"))->isEnabled());
    EXPECT_FALSE(actions.Action(QStringLiteral("actAbout"))->isEnabled());
    EXPECT_FALSE(actions.Action(QStringLiteral("actThreadReload"))->isEnabled());
}

// ---- tool-bar bands ----

TEST(CoolBarBands, StoredOrderAndBreaksAreRestored)
{
    QMainWindow window;
    QList<QToolBar *> bands;
    for (int i = 0; i < 3; ++i) {
        bands.append(window.addToolBar(QStringLiteral("band%1").arg(i)));
        bands.last()->addAction(QStringLiteral("button %1").arg(i));
    }
    TIniFile ini;
    ini.SetText(QStringLiteral("[COOLBAR1]\nBAND0ID=2\nBAND0BR=0\nBAND1ID=7\nBAND2ID=1\nBAND2BR=1\n"));
    BarsAndMenus::LoadCoolBarBands(&window, bands, ini, QStringLiteral("COOLBAR1"));
    window.resize(800, 400);
    window.show();
    QApplication::processEvents();

    // Band 2 first, then band 0 on the same row; band 1 starts the second row.
    EXPECT_EQ(bands[2]->y(), bands[0]->y());
    EXPECT_LT(bands[2]->x(), bands[0]->x());
    EXPECT_GT(bands[1]->y(), bands[0]->y());
    EXPECT_TRUE(window.toolBarBreak(bands[1]));

    TIniFile saved;
    BarsAndMenus::SaveCoolBarBands(&window, bands, saved, QStringLiteral("COOLBAR1"));
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("COOLBAR1"), QStringLiteral("BAND0ID")), 2);
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("COOLBAR1"), QStringLiteral("BAND1ID")), 0);
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("COOLBAR1"), QStringLiteral("BAND2ID")), 1);
    EXPECT_TRUE(saved.ReadBool(QStringLiteral("COOLBAR1"), QStringLiteral("BAND2BR")));
    EXPECT_EQ(saved.ReadString(QStringLiteral("COOLBAR1"), QStringLiteral("BAND0CAP")), QStringLiteral("band2"));
}

// A window stored beyond the right edge of the screen (a screen that has gone) comes back onto the
// screen, narrowed to fit, and is stored back where it now stands.
TEST(CoolBarBands, AWindowStoredOffTheScreenComesBackOntoIt)
{
    QMainWindow window;
    TTavuSplitter boards(Qt::Horizontal);
    QSplitter threadList(Qt::Vertical);
    QSplitter messages(Qt::Vertical);
    for (QSplitter *splitter : {static_cast<QSplitter *>(&boards), &threadList, &messages}) {
        splitter->addWidget(new QWidget);
        splitter->addWidget(new QWidget);
    }
    const TCoolBarLayoutParts parts = {&window, &boards, &threadList, &messages, {}};
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    TIniFile ini;
    ini.SetText(QStringLiteral("[DESKTOP]\nLEFT=%1\nTOP=30\nWIDTH=%2\nHEIGHT=300\n")
                    .arg(screen.width() + 400)
                    .arg(screen.width() + 10));
    CoolBarLayout::LoadCoolBarLayout(parts, ini);
    EXPECT_EQ(window.geometry(), QRect(50, 30, screen.width() - 100, 300));

    TIniFile saved;
    CoolBarLayout::SaveCoolBarLayout(parts, TActionList(), saved);
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("DESKTOP"), QStringLiteral("LEFT")), 50);
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("DESKTOP"), QStringLiteral("WIDTH")), screen.width() - 100);
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("DESKTOP"), QStringLiteral("WINDOWSTATE")), 0);
}

TEST(CoolBarBands, MissingOrUnknownIdsKeepTheBandsInPlace)
{
    const QList<BarsAndMenus::TCoolBand> current = {{0, 100, false, "a"}, {1, 80, true, "b"}, {2, 60, false, "c"}};
    TIniFile ini;
    ini.SetText(QStringLiteral("[X]\nBAND0ID=9\nBAND1WD=33\nBAND2ID=0\n"));
    const QList<BarsAndMenus::TCoolBand> bands = BarsAndMenus::ReadCoolBarBands(ini, QStringLiteral("X"), current);
    QList<int> ids;
    for (const auto &band : bands)
        ids.append(band.ID);
    EXPECT_EQ(ids, QList<int>({0, 1, 2}));   // id 9 names no band; id 0 is placed already
    EXPECT_EQ(bands[1].Width, 33);
    EXPECT_TRUE(bands[1].Break);
    EXPECT_EQ(BarsAndMenus::ReadCoolBarBands(ini, QStringLiteral("NONE"), current).size(), 3);
}

// ---- sounds, log pane, shortcut.txt, site menus ----

TEST(EventSounds, OnlySwitchedOnEventsWithAFileSound)
{
    ConfigEnv env;
    env.config->SOUND_EXECSEND = true;
    env.config->SOUND_SEND = env.Profile(QStringLiteral("send.wav"));
    env.config->SOUND_EXECERROR = false;
    env.config->SOUND_ERROR = env.Profile(QStringLiteral("nores.wav"));
    env.config->SOUND_EXECROUND = true;
    env.config->SOUND_ROUND.clear();
    EXPECT_EQ(EventLog::EventSoundFile(EventLog::esSend), env.Profile(QStringLiteral("send.wav")));
    EXPECT_TRUE(EventLog::EventSoundFile(EventLog::esError).isEmpty());
    EXPECT_TRUE(EventLog::EventSoundFile(EventLog::esRound).isEmpty());
    EXPECT_TRUE(EventLog::EventSoundFile(9).isEmpty());
    EXPECT_TRUE(EventLog::EventSoundFile(-1).isEmpty());
}

TEST(LogPane, LinesFromAnyThreadEndUpAtTheBottom)
{
    QPlainTextEdit memo;
    memo.resize(200, 60);
    memo.show();
    for (int i = 0; i < 30; ++i)
        BarsAndMenus::AddLog(&memo, QStringLiteral("line %1").arg(i));
    QThread *worker = QThread::create([&memo] { BarsAndMenus::AddLog(&memo, QStringLiteral("from a worker")); });
    worker->start();
    worker->wait();
    delete worker;
    QApplication::processEvents();
    EXPECT_TRUE(memo.toPlainText().endsWith(QStringLiteral("line 29\nfrom a worker")));
    EXPECT_EQ(memo.verticalScrollBar()->value(), memo.verticalScrollBar()->maximum());
}

TEST(ShortcutFile, ThreadEntriesOfTheThreadGo)
{
    ConfigEnv env;
    auto *site = new TSite(QStringLiteral("2ch"), TSite::KIND_NORMAL, env.registry->BBSList());
    env.registry->SiteList()->Add(site);
    auto *board = new TBoard;
    board->ID = QStringLiteral("news");
    board->Site = site;
    board->LogFolder = env.root.Path() + QStringLiteral("log/");
    site->Boards->Add(board);
    TThreadItem *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("123"), QStringLiteral("t"));
    item->SHORTCUT = true;

    const QString text = QStringLiteral("タブ\tclBtnFace\t\r\n\t2\tthread\t123\tnews\t2ch\r\n\t1\tboard\tnews\t2ch\t\r\n"
                                        "\t2\tother\t124\tnews\t2ch\r\n\t2\tsame key, other board\t123\tlive\t2ch\r\n"
                                        "\t2\tagain\t123\tnews\t2ch\r\n");
    env.root.Write(QStringLiteral("shortcut.txt"), Sjis(text));
    BarsAndMenus::RemoveFromShortcutFile(item, env.root.File(QStringLiteral("shortcut.txt")));
    EXPECT_EQ(env.root.Read(QStringLiteral("shortcut.txt")),
              Sjis(QStringLiteral("タブ\tclBtnFace\t\r\n\t1\tboard\tnews\t2ch\t\r\n\t2\tother\t124\tnews\t2ch\r\n"
                                  "\t2\tsame key, other board\t123\tlive\t2ch\r\n")));
    EXPECT_FALSE(item->SHORTCUT);
    item->Release();
}

TEST(SiteMenus, SiteFunctionsAndVisitedBoards)
{
    ConfigEnv env;
    TActionList actions;
    TSite site(QStringLiteral("2ch"), TSite::KIND_NORMAL, env.registry->BBSList());
    site.NAME = QStringLiteral("R&D");
    QList<int> pages;
    QMenu functions;
    BarsAndMenus::LoadSiteFunctionMenu(&functions, &site, actions, [&pages](int page) { pages.append(page); });
    EXPECT_EQ(Shown(&functions), QStringList({"act2chLogin", "act2chAmezoScape", "act2chHeadline", "act2chShowSettingTxt",
                                              "act2chHeee", "actBe2chLogin", "actBe2chEditProfile", "actBe2chBoardEdit",
                                              "-", "設定オプション..."}));
    EXPECT_TRUE(functions.menuAction()->isEnabled());
    FindText(&functions, QStringLiteral("設定オプション..."))->trigger();
    EXPECT_EQ(pages, QList<int>({8}));
    BarsAndMenus::LoadSiteFunctionMenu(&functions, nullptr, actions, {});
    EXPECT_EQ(Shown(&functions), QStringList({"-", "設定オプション..."}));
    EXPECT_FALSE(functions.menuAction()->isEnabled());

    const struct { const char *id, *name, *category; bool opened; } boards[] = {
        {"a", "A板", "ニュース", true}, {"b", "B板", "雑談", true}, {"c", "C板", "ニュース", false}, {"d", "D板", "ニュース", true}};
    for (const auto &b : boards) {
        auto *board = new TBoard;
        board->ID = QLatin1String(b.id);
        board->Name = QString::fromUtf8(b.name);
        board->Category = QString::fromUtf8(b.category);
        board->Opened = b.opened;
        board->Site = &site;
        site.Boards->Add(board);
    }
    TSite quiet(QStringLiteral("quiet"), TSite::KIND_NORMAL, env.registry->BBSList());
    QMenu visited;
    QStringList opened;
    const auto open = [&opened](TGaishutuMenuItem *item) { opened.append(item->Site->SITEID + "/" + item->Text); };
    BarsAndMenus::LoadVisitedBoardsMenu(&visited, {&quiet, &site}, true, {}, {}, open);
    ASSERT_EQ(Shown(&visited), QStringList({"R&&D"}));
    QMenu *siteMenu = visited.actions().at(0)->menu();
    EXPECT_EQ(Shown(siteMenu), QStringList({"ニュース", "雑談"}));
    QMenu *news = siteMenu->actions().at(0)->menu();
    EXPECT_EQ(Shown(news), QStringList({"A板", "D板"}));
    news->actions().at(1)->trigger();
    EXPECT_EQ(opened, QStringList({"2ch/d"}));

    BarsAndMenus::LoadVisitedBoardsMenu(&visited, {&site}, false, {}, {}, open);
    EXPECT_EQ(Shown(visited.actions().at(0)->menu()), QStringList({"A板", "B板", "D板"}));
}

TEST(SmallHelpers, CaptionsAndFolderNames)
{
    EXPECT_EQ(BarsAndMenus::EscapeMenuCaption(QStringLiteral("A&B&&C")), QStringLiteral("A&&B&&&&C"));
    EXPECT_EQ(BarsAndMenus::GetLastFolderName(QStringLiteral("/data/log/2ch/news/")), QStringLiteral("news"));
    EXPECT_EQ(BarsAndMenus::GetLastFolderName(QStringLiteral("C:\\log\\2ch")), QStringLiteral("2ch"));
    EXPECT_EQ(BarsAndMenus::GetLastFolderName(QString()), QString());
}
