// The main window's creation and deferred start-up on a fresh program folder.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/ActionCatalogue.h"
#include "controls/BarsAndMenus.h"
#include "controls/WindowServices.h"
#include "core/BBSList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuActionList.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QThread>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// What the world looked like as each start-up step began.
struct TStepState {
    QString Step;
    int BoardTypes = 0;
    int Sites = 0;
    int SiteBoxEntries = 0;
    int MainToolBarButtons = 0;
    bool SaveModeChecked = false;
};

void WriteBbsTxt(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\nmachibbs\r\n");
}

}  // namespace

TEST(StartUpTest, FreshProfileIsSeededAndEveryActionExists)
{
    TWindowEnv env;
    env.Start();

    for (const char *file : {"kpw.ini", "toolbar.ini", "column.txt", "shortcut.txt", "search.txt"})
        EXPECT_TRUE(QFile::exists(env.Profile(QString::fromUtf8(file)))) << file;

    for (const TActionInfo &info : ActionCatalogue::Entries()) {
        QAction *action = env.Window->Action(info.Name);
        ASSERT_NE(action, nullptr) << info.Name.toStdString();
        EXPECT_EQ(action->objectName(), info.Name);
    }
    EXPECT_EQ(env.Window->Action(QStringLiteral("actExit"))->text(), QStringLiteral("ヴァルネロの終了(&X)"));

    // The row marks are taken from the mark pictures in their own order (the fifth is the ninth).
    ASSERT_EQ(env.Window->ListPane().RowMarks().size(), 13);
    EXPECT_EQ(env.Window->ListPane().RowMarks()[4].toImage(),
              ActionCatalogue::LoadImages(TTavuConfig::AppDir() + QStringLiteral("resource/marks.png"))[8]
                  .pixmap(16, 16)
                  .toImage());
    EXPECT_FALSE(env.Window->ListPane().RowMarks()[0].isNull());
    EXPECT_TRUE(env.Window->windowTitle().startsWith(QStringLiteral("ヴァルネロ 2 β")));
}

// Each step relies on the ones before: the sites need the board types, the site box the sites,
// the tool bars the actions, and the splash is gone before the command line is applied.
TEST(StartUpTest, StepsRunInTheirOrder)
{
    TWindowEnv env([](TWindowEnv &e) {
        WriteBbsTxt(e);
        e.WriteProfile(QStringLiteral("toolbar.ini"), "[MainActToolBar]\r\nCOUNT=1\r\nBUTTON1=actOnline\r\n");
    });
    QList<TStepState> states;
    QObject::connect(Part<TStartupSequence>(env.Window), &TStartupSequence::StepBegun, [&](const QString &step) {
        states.append({step, TavuEnviron->BBSList()->Count(), TavuEnviron->SiteList()->Count(),
                       Part<QComboBox>(env.Window, "SiteComboBox")->count(),
                       int(Part<QToolBar>(env.Window, "MainActToolBar")->actions().size()),
                       env.Window->Action(QStringLiteral("actSaveMode"))->isChecked()});
    });
    env.Start();

    auto at = [&](const char *step) {
        for (const TStepState &state : states) {
            if (state.Step == QLatin1String(step))
                return state;
        }
        ADD_FAILURE() << "no step " << step;
        return TStepState();
    };
    EXPECT_EQ(at("bbstypes").BoardTypes, 0);
    EXPECT_GT(at("sites").BoardTypes, 0);
    EXPECT_EQ(at("sites").Sites, 0);
    EXPECT_GT(at("sitebox").Sites, 0);
    EXPECT_EQ(at("sitebox").SiteBoxEntries, 0);
    EXPECT_EQ(at("site").SiteBoxEntries, 2);
    EXPECT_EQ(at("toolbars").MainToolBarButtons, BarsAndMenus::DesignedToolBar(QStringLiteral("MainActToolBar")).size());
    EXPECT_EQ(at("rules").MainToolBarButtons, 1);
    EXPECT_EQ(states.last().Step, QStringLiteral("direct"));

    EXPECT_EQ(env.Window->Services().BoardTree().CurrentSite(), TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch")));
    // The BBS menu offers the shown site's own functions.
    EXPECT_TRUE(Part<QMenu>(env.Window, "BBSFunc")->menuAction()->isEnabled());
    EXPECT_TRUE(
        Part<QMenu>(env.Window, "BBSFunc")->actions().contains(env.Window->Action(QStringLiteral("act2chLogin"))));
    EXPECT_GT(Part<QTreeWidget>(env.Window, "BoardListView")->topLevelItemCount(), 0);
    EXPECT_TRUE(Part<TStartupSequence>(env.Window)->Done());
}

// A tool bar that toolbar.ini has no section for keeps its designed buttons; without popup.ini the
// popup menus keep their designed items, and the fixed entries end them either way.
TEST(StartUpTest, DesignedBarsAndMenusStandWhereTheFilesSayNothing)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("toolbar.ini"), "[MainActToolBar]\r\nCOUNT=1\r\nBUTTON1=actOnline\r\n");
    });
    QFile::remove(env.Root.File(QStringLiteral("def/popup.ini")));   // no popup.ini is seeded
    env.Start();
    ASSERT_FALSE(QFile::exists(env.Profile(QStringLiteral("popup.ini"))));

    QToolBar *gaishutu = Part<QToolBar>(env.Window, "GaishutuToolBar");
    ASSERT_EQ(gaishutu->actions().size(), 1);
    EXPECT_EQ(gaishutu->actions()[0], env.Window->Action(QStringLiteral("actBoardGaishutu")));

    const QList<QAction *> items = Part<QMenu>(env.Window, "BrowserPopup")->actions();
    ASSERT_GT(items.size(), 2);
    EXPECT_EQ(items.first(), env.Window->Action(QStringLiteral("actBrowserClose")));
    EXPECT_EQ(items.last()->text(), QStringLiteral("カスタマイズ..."));
    EXPECT_EQ(Part<QMenu>(env.Window, "BoardListPopup")->actions().last()->text(), QStringLiteral("設定オプション..."));
}

TEST(StartUpTest, StartupSiteChoosesTheShownSite)
{
    TWindowEnv env([](TWindowEnv &e) {
        WriteBbsTxt(e);
        e.config->STARTUPSITE = QStringLiteral("machibbs");
    });
    env.Start();
    ASSERT_NE(env.Window->Services().BoardTree().CurrentSite(), nullptr);
    EXPECT_EQ(env.Window->Services().BoardTree().CurrentSite()->SITEID, QStringLiteral("machibbs"));
}

TEST(StartUpTest, OfflineStateOfTheLastRunIsKept)
{
    TWindowEnv env;
    env.Start();
    EXPECT_TRUE(TavuEnviron->IsOffline());
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actOnline"))->isChecked());
}

TEST(StartUpTest, NoSaveArgumentTurnsSaveModeOffForThisRunOnly)
{
    TWindowEnv env;
    env.Window->SetCommandLine({QStringLiteral("-n")});
    env.Start();
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actSaveMode"))->isChecked());
    EXPECT_FALSE(TavuEnviron->GetCached());
    EXPECT_TRUE(env.Window->Tabs().Browsers().isEmpty());   // "-n" is no address to open
    env.Destroy();
    TTavuConfig reread;
    EXPECT_TRUE(reread.CACHED);
}

// The rule lists are written back only once they were read: a window that ends before its
// start-up ran leaves the user's rules as they are.
TEST(StartUpTest, RulesAreWrittenBackOnlyOnceRead)
{
    auto writeRules = [](TWindowEnv &e) {
        TTavuActionList rules;
        auto rule = std::make_unique<TTavuAction>();
        rule->Target = TTavuAction::RESBODY;
        rule->Value1 = QStringLiteral("宣伝");
        rule->Boards.Add(TTargetBoard::AllSites(), QString(), true);
        rules.Add(std::move(rule));
        rules.SaveToFile(e.Profile(QStringLiteral("ngres.txt")));
    };
    TWindowEnv early(writeRules);
    const QByteArray before = FileUtil::ReadFile(early.Profile(QStringLiteral("ngres.txt")));
    early.Destroy();
    EXPECT_EQ(FileUtil::ReadFile(early.Profile(QStringLiteral("ngres.txt"))), before);

    TWindowEnv started(writeRules);
    started.Start();
    ASSERT_EQ(started.Window->Services().Rules().ResRules()->Count(), 1);
    started.Destroy();
    TTavuActionList reread;
    reread.LoadFromFile(started.Profile(QStringLiteral("ngres.txt")));
    ASSERT_EQ(reread.Count(), 1);
    EXPECT_EQ(reread.Get(0)->Value1, QStringLiteral("宣伝"));
}

// Lines traced before the start-up come first; lines from worker threads follow on the GUI
// thread; once the window is gone a line goes nowhere.
TEST(StartUpTest, TheRegistrysTraceGoesToTheTracePane)
{
    TWindowEnv env;
    TavuEnviron->AddTrace(QStringLiteral("前の行"));
    env.Start();
    EXPECT_TRUE(Part<QPlainTextEdit>(env.Window, "Memo3")->toPlainText().contains(QStringLiteral("前の行")));

    QThread *worker = QThread::create([] { TavuEnviron->AddTrace(QStringLiteral("作業の行")); });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_TRUE(TWindowEnv::WaitUntil(
        [&] { return Part<QPlainTextEdit>(env.Window, "Memo3")->toPlainText().contains(QStringLiteral("作業の行")); }));

    // A reply's header lines come together: each is a line of the pane, in order.
    const QStringList header = {QStringLiteral("HTTP/1.1 200 OK"), QStringLiteral("Content-Length: 3"), QStringLiteral("Connection: close")};
    for (const QString &line : header)
        TavuEnviron->AddTrace(line);
    EXPECT_TRUE(TWindowEnv::WaitUntil(
        [&] { return Part<QPlainTextEdit>(env.Window, "Memo3")->toPlainText().endsWith(header.last()); }));
    EXPECT_EQ(Part<QPlainTextEdit>(env.Window, "Memo3")->toPlainText().split(QLatin1Char('\n')).last(3), header);

    env.Destroy();
    TavuEnviron->AddTrace(QStringLiteral("後の行"));
    QCoreApplication::processEvents();
}
