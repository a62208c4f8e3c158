#include "flows/StartupSequence.h"

#include "boards/Be2chManager.h"
#include "boards/BoardTypes.h"
#include "boards/DolibManager.h"
#include "controls/UserFiles.h"
#include "controls/WindowServices.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "services/EventLog.h"
#include "settings/SplashWindow.h"

#include <QAction>
#include <QApplication>
#include <QMutex>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

constexpr int StartupInterval = 100;

}  // namespace

TStartupSequence::TStartupSequence(TWindowServices &services, TSplashWindow *splash, QObject *parent)
    : QObject(parent), services(services), splash(splash), timer(new QTimer(this))
{
    timer->setObjectName(QStringLiteral("StartupTimer"));
    timer->setInterval(StartupInterval);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &TStartupSequence::Run);
}

void TStartupSequence::SetCommandLine(const QStringList &arguments)
{
    commandLine = arguments;
}

void TStartupSequence::SetSplashMessage(const QString &text)
{
    if (!splash)
        return;
    splash->SetMessage(text);
    splash->ShowSplash();
}

void TStartupSequence::Start()
{
    timer->start();
}

void TStartupSequence::RunStep(const QString &step, const QString &splashText, const std::function<void()> &work)
{
    emit StepBegun(step);
    if (!splashText.isEmpty())
        SetSplashMessage(splashText);
    work();
}

void TStartupSequence::Run()
{
    if (done)
        return;
    done = true;
    timer->stop();
    if (splash)
        splash->ShowSplash();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    RunStep(QStringLiteral("tabbars"), QString(), [this] { services.Layout().ApplyTabBarPositions(); });
    RunStep(QStringLiteral("panes"), QString(), [this] { ApplyPaneChoices(); });
    RunStep(QStringLiteral("userfiles"), QStringLiteral("ユーザー情報の初期化"), [this] { PrepareUserFiles(); });
    RunStep(QStringLiteral("bbstypes"), QStringLiteral("BBSデータの読み込み中(1)"), [this] { LoadBoardTypes(); });
    RunStep(QStringLiteral("sites"), QStringLiteral("BBSデータの読み込み中(2)"), [this] { LoadSites(); });
    RunStep(QStringLiteral("sitebox"), QStringLiteral("サイト構造の読み込み中"), [this] { Call(FillSiteBox); });
    RunStep(QStringLiteral("columns"), QString(), [this] { Call(ApplyColumnWidths); });
    RunStep(QStringLiteral("site"), QString(), [this] { ChooseStartupSite(); });
    RunStep(QStringLiteral("toolbars"), QStringLiteral("ツールバーの復元"), [this] { services.Bars().ReloadToolBarsAndMenus(); });
    RunStep(QStringLiteral("shortcutbars"), QString(), [this] { services.Boards().ShortcutsChanged(); });
    RunStep(QStringLiteral("rules"), QString(), [this] { LoadRuleLists(); });
    RunStep(QStringLiteral("online"), QString(), [this] { ApplyOnlineState(); });
    RunStep(QStringLiteral("focus"), QString(), [this] {
        if (TavuConfig->AUTOACTIVE)
            Call(StartFocusTimer);
    });
    RunStep(QStringLiteral("menus"), QString(), [this] {
        services.Boards().UpdateThreadListMenu();
        services.Views().UpdateBrowserMenu();
        services.Boards().ReloadBBSBar();
    });
    RunStep(QStringLiteral("splash"), QString(), [this] { CloseSplash(); });
    RunStep(QStringLiteral("logins"), QString(), [this] { AutoLogin(); });
    RunStep(QStringLiteral("commandline"), QString(), [this] { ApplyOwnCommandLine(); });
    RunStep(QStringLiteral("end"), QString(), [] { QApplication::restoreOverrideCursor(); });
    RunStep(QStringLiteral("direct"), QString(), [this] {
        if (TavuConfig->STARTUPSHOWDIRECT)
            Execute(QStringLiteral("actHelpVarneloDirect"));
    });
}

// A step of the window's own (none when the window gave none).
void TStartupSequence::Call(const std::function<void()> &step)
{
    if (step)
        step();
}

// Runs a command the way its menu entry does: only when it is enabled.
void TStartupSequence::Execute(const QString &name)
{
    QAction *action = services.Frame().Action(name);
    if (action && action->isEnabled())
        action->trigger();
}

void TStartupSequence::SetChecked(const QString &name, bool checked)
{
    if (QAction *action = services.Frame().Action(name))
        action->setChecked(checked);
}

// ---- the steps ----

// The panes the last run showed.
void TStartupSequence::ApplyPaneChoices()
{
    // The commands store the panes they change: read the stored choices before running any.
    const bool right = TavuConfig->DESKTOP_BOARDLISTSHOWRIGHT;
    const bool extended = TavuConfig->DESKTOP_EXTTHREADLIST;
    const bool threadList = TavuConfig->DESKTOP_SHOWTHREADLIST;
    const bool browser = TavuConfig->DESKTOP_SHOWBROWSER;
    if (right)
        Execute(QStringLiteral("actShowBoardListRight"));
    if (extended) {
        Execute(QStringLiteral("actShowExtThreadList"));
        return;
    }
    if (!threadList)
        Execute(QStringLiteral("actShowThreadList2"));
    if (!browser)
        Execute(QStringLiteral("actShowBrowser"));
}

namespace {

// The trace lines on their way to the GUI thread: the first line of a batch asks for the hand-over,
// the lines traced before it runs join the batch.
class TTraceBatch {
public:
    // Adds the line; true when it begins a batch.
    bool Add(const QString &line)
    {
        QMutexLocker lock(&mutex);
        lines.append(line);
        return lines.size() == 1;
    }
    QStringList Take()
    {
        QMutexLocker lock(&mutex);
        return std::exchange(lines, {});
    }

private:
    QMutex mutex;
    QStringList lines;
};

}  // namespace

// Missing user files come from the def folder; the registry's trace goes to the trace pane from
// now on (the lines written before are shown first).
void TStartupSequence::PrepareUserFiles()
{
    UserFiles::PrepareUserFiles();
    emit TraceLines(TavuEnviron->TraceLines());
    auto batch = std::make_shared<TTraceBatch>();
    TavuEnviron->SetTraceSink([sequence = QPointer<TStartupSequence>(this), batch](const QString &text) {
        // Jobs of worker threads trace too: the lines are passed on on the GUI thread, from the
        // event loop, a request's header lines together.
        if (!batch->Add(text))
            return;
        QMetaObject::invokeMethod(
            qApp,
            [sequence, batch] {
                const QStringList lines = batch->Take();
                if (sequence)
                    emit sequence->TraceLines(lines);
            },
            Qt::QueuedConnection);
    });
}

// The board-type handlers of the board module, then the built-in and the user's types.
void TStartupSequence::LoadBoardTypes()
{
    BoardTypes::Install(TavuEnviron);
    TavuEnviron->CreateBBSList();
}

void TStartupSequence::LoadSites()
{
    TavuEnviron->LoadSites();
    for (const QString &message : TavuConfig->LoadMessages() + TavuEnviron->LoadMessages())
        EventLog::AddLog(message);
}

// Without any site the user chooses the sites first. Then the first site is shown, or the one
// STARTUPSITE names.
void TStartupSequence::ChooseStartupSite()
{
    if (services.BoardTree().OfferedSites().isEmpty()) {
        if (splash)
            splash->hide();
        Execute(QStringLiteral("actBBSSelect"));
    }
    const QList<TSite *> sites = services.BoardTree().OfferedSites();
    if (sites.isEmpty())
        return;
    TSite *shown = sites.first();
    if (!TavuConfig->STARTUPSITE.isEmpty()) {
        for (TSite *site : sites) {
            if (site->SITEID == TavuConfig->STARTUPSITE)
                shown = site;
        }
    }
    services.BoardTree().ShowSiteBoards(shown);
}

// ngres.txt and ngthread.txt; from now on shutdown writes them back.
void TStartupSequence::LoadRuleLists()
{
    TTavuActionList *resRules = services.Rules().ResRules();
    TTavuActionList *threadRules = services.Rules().ThreadRules();
    resRules->LoadFromFile(services.Rules().ResRulesFile());
    threadRules->LoadFromFile(services.Rules().ThreadRulesFile());
    for (const QString &message : resRules->LoadMessages() + threadRules->LoadMessages())
        EventLog::AddLog(message);
    rulesLoaded = true;
}

// Save mode and the online state of the last run.
void TStartupSequence::ApplyOnlineState()
{
    SetChecked(QStringLiteral("actSaveMode"), TavuConfig->CACHED);
    TavuEnviron->SetOffline(TavuConfig->APPSTATE);
    if (!TavuEnviron->IsOffline())
        return;
    QAction *online = services.Frame().Action(QStringLiteral("actOnline"));
    if (online && online->isEnabled())
        online->trigger();   // its handler keeps the program offline and shows it
    else
        SetChecked(QStringLiteral("actOnline"), false);
}

void TStartupSequence::CloseSplash()
{
    if (!splash)
        return;
    splash->close();
    splash->deleteLater();
    splash = nullptr;
}

// The past-log service and the Be account log in when their settings ask for it; the Be account
// works with the site "2ch".
void TStartupSequence::AutoLogin()
{
    if (DolibManager && TavuConfig->DOLIB_AUTOLOGIN && !DolibManager->IsLoggedIn())
        DolibManager->Login();
    if (!Be2chManager)
        return;
    if (TavuConfig->BE_AUTOLOGIN && !Be2chManager->IsLoggedIn())
        Be2chManager->Login();
    if (TSite *site = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch")))
        Be2chManager->Site = site;
}

// ---- command lines ----

void TStartupSequence::ApplyOwnCommandLine()
{
    ApplyStartArguments(TStartArguments::Parse(commandLine));
    handOversWaiting = false;
    for (const QStringList &arguments : std::exchange(pendingHandOvers, {}))
        ApplyStartArguments(TStartArguments::ParseHandOver(arguments));
}

void TStartupSequence::HandOver(const QStringList &arguments)
{
    if (handOversWaiting)
        pendingHandOvers.append(arguments);
    else
        ApplyStartArguments(TStartArguments::ParseHandOver(arguments));
}

void TStartupSequence::ApplyStartArguments(const TStartArguments &arguments)
{
    if (arguments.NoSave) {
        SetChecked(QStringLiteral("actSaveMode"), false);
        TavuEnviron->SetCached(false, true);
    }
    if (!arguments.Url.isEmpty())
        services.Reading().OpenThreadUrl(arguments.Url, false);
}
