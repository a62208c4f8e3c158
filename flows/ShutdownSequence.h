#pragma once
// TShutdownSequence: the close and shutdown steps of the main window, in their fixed order.
//
// Closing asks first when EXIT_WARNING says so (CloseQuery). The close steps (Close, once) hide the
// window, log out of the past-log service and Be, stop the update checks and the patrols, write the
// rule lists back (only when the start-up read them: writing lists never read would empty the
// user's files) and, while requests still run, stop them all and wait for them three rounds of a
// second at most. The window's end (Destroy) runs the close steps when they have not run, then
// saves the online state, the band layout and the configuration, deletes the temporary files,
// stores the board tree's state, stops every request and waits for the job list to empty (ten
// rounds of a tenth of a second), closes every tab, waits for the worker threads, waits for the
// saves still queued, saves the bookmark and recent lists and frees the rule lists. Nothing here
// gives up half-way: after a stop-all everything is saved all the same.
//
// Worker threads (update checks, patrols, cache loaders, counters) call into the GUI thread and use
// the registry, the configuration and the rule lists: the sequence waits until every one it was
// told of has ended, letting the event loop run meanwhile so that their calls are answered.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThread>

class TStartupSequence;
class TUpdateCheckController;
class TWindowLists;
class TWindowServices;

class TShutdownSequence : public QObject {
    Q_OBJECT
public:
    // The update checks and patrols are stopped and waited for like the window's worker threads.
    TShutdownSequence(TWindowServices &services, const TStartupSequence &startup, const TWindowLists &lists,
                      TUpdateCheckController &updateChecks, QObject *parent);

    // False when the user declines the exit question (FormCloseQuery).
    bool CloseQuery() const;
    // The close steps (FormClose), run once by Close or EndSession.
    void Close();
    // The desktop session ends or the window was closed: the close steps, then Ended; later calls
    // do nothing.
    void EndSession();
    // The window's end (FormDestroy).
    void Destroy();
    bool Closed() const { return closed; }

    // A worker thread of the window's tabs, waited for before anything it uses is freed.
    void TrackWorker(QThread *thread);

signals:
    // The close steps have run; the program ends.
    void Ended();

private:
    TWindowServices &services;
    const TStartupSequence &startup;
    const TWindowLists &lists;
    TUpdateCheckController &updateChecks;
    QList<QPointer<QThread>> workers;
    bool closed = false;

    void SaveRuleLists();
    void DrainJobs(int rounds, int stepMs);
    void CloseAllTabs();
    void WaitForWorkers();
};
