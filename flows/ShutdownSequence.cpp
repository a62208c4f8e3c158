#include "flows/ShutdownSequence.h"

#include "boards/Be2chManager.h"
#include "boards/DolibManager.h"
#include "controls/Dialogs.h"
#include "controls/WindowLists.h"
#include "controls/WindowServices.h"
#include "core/Exceptions.h"
#include "core/SaveQueue.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "flows/StartupSequence.h"
#include "flows/UpdateCheckController.h"
#include "net/TavuHttpList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QtDebug>

namespace {

// Lets the event loop run for the given time (timers, replies and worker threads' calls go on).
void PumpFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

TShutdownSequence::TShutdownSequence(TWindowServices &services, const TStartupSequence &startup,
                                     const TWindowLists &lists, TUpdateCheckController &updateChecks,
                                     QObject *parent)
    : QObject(parent), services(services), startup(startup), lists(lists), updateChecks(updateChecks)
{
}

bool TShutdownSequence::CloseQuery() const
{
    return !TavuConfig->EXIT_WARNING || Dialogs::AskYesNo(QStringLiteral("ヴァルネロを終了しますか？"), Dialogs::mkWarning);
}

void TShutdownSequence::EndSession()
{
    if (closed)
        return;
    Close();
    emit Ended();
}

void TShutdownSequence::Close()
{
    closed = true;
    services.Session().HideWindow();
    if (DolibManager && DolibManager->IsLoggedIn())
        DolibManager->Logout();
    if (Be2chManager && Be2chManager->IsLoggedIn())
        Be2chManager->Logout();
    updateChecks.StopChecks();
    SaveRuleLists();
    if (TavuHttpList->Count() > 0) {
        services.Session().StopAll();
        DrainJobs(3, 1000);
    }
}

void TShutdownSequence::SaveRuleLists()
{
    if (!startup.RulesLoaded())
        return;   // never read: writing them would empty the user's files
    try {
        services.Rules().ResRules()->SaveToFile(services.Rules().ResRulesFile());
        services.Rules().ThreadRules()->SaveToFile(services.Rules().ThreadRulesFile());
    } catch (const EVarnelo &e) {
        qWarning() << "rule lists not saved:" << e.Message;
    }
}

// Waits, letting the event loop run, until the job list is empty; after the given number of
// rounds the list is cleared.
void TShutdownSequence::DrainJobs(int rounds, int stepMs)
{
    for (int round = 1; TavuHttpList->Count() > 0; ++round) {
        PumpFor(stepMs);
        TavuHttpList->DeleteFinished();
        if (round > rounds)
            TavuHttpList->Clear();
    }
}

void TShutdownSequence::Destroy()
{
    if (!closed)
        Close();
    TavuConfig->APPSTATE = TavuEnviron->IsOffline();
    services.Bars().StoreBarLayout();   // the layout goes into kpw.ini with everything else
    try {
        TavuConfig->Save();
    } catch (const EVarnelo &e) {
        qWarning() << "configuration not saved:" << e.Message;
    }
    Tavutils::ShellDeleteFiles(TavuConfig->GetTempDir() + QStringLiteral("KPW*.tmp"), false);

    services.Session().StopFocusTimer();
    services.BoardTree().SaveBoardTreeState();
    services.Session().HideWindow();
    if (DolibManager)
        DolibManager->disconnect(services.Frame().Window());

    TavuHttpList->AbortAll(true);
    DrainJobs(10, 100);

    CloseAllTabs();
    WaitForWorkers();
    TSaveQueue::Instance().WaitAll();   // the logs, .inf files and histories still being written

    lists.Save();
    services.Session().ReleaseSessionParts();
}

// Closes every tab through the tab-closing procedures. Closing waits for a tab's download to end
// and gives up while the stop flag is set (right after a stop-all): the documents that remain are
// freed and the threads of the browser tabs that remain closed all the same.
void TShutdownSequence::CloseAllTabs()
{
    for (TTavuListDoc *doc : services.Tabs().ListDocs()) {
        try {
            services.Tabs().CloseListDoc(doc, false);
        } catch (const EVarnelo &) {
            doc->CancelDownload();
        }
    }
    for (TTavuBrowser *tab : services.Tabs().Browsers()) {
        try {
            services.Tabs().CloseBrowser(tab, false);
        } catch (const EVarnelo &) {
            tab->CancelDownload();
        }
    }
    services.Session().ReleaseTabs();
}

void TShutdownSequence::TrackWorker(QThread *thread)
{
    workers.append(thread);
}

void TShutdownSequence::WaitForWorkers()
{
    QList<QPointer<QThread>> threads = updateChecks.RunningChecks + workers;
    for (const QPointer<QThread> &thread : threads) {
        if (thread)
            thread->requestInterruption();
    }
    for (const QPointer<QThread> &thread : threads) {
        while (thread && !thread->isFinished())
            PumpFor(20);
        // What the thread handed to the GUI thread before it ended (a cache loader's last chunk
        // and its end report) is taken now, while the window it reports to still exists.
        if (thread)
            QCoreApplication::sendPostedEvents(thread);
    }
    updateChecks.RunningChecks.clear();
    workers.clear();
}
