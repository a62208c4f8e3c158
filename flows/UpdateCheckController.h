#pragma once
// TUpdateCheckController: the update check and the patrol of a thread-list tab. Each run is a worker
// thread (services/TavuCheck.h) that the controller starts over every thread of the tab, keeps in its
// list of running checks and cleans up after when it ends; the window is told by the signals.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThread>

class TTavuCheck;
class TTavuListDoc;

class TUpdateCheckController : public QObject {
    Q_OBJECT
public:
    explicit TUpdateCheckController(QObject *parent = nullptr);

    // actThreadListCheckUpdate (patrol off) and actThreadListRound (patrol on) on the document.
    void actThreadListCheckUpdateExecute(TTavuListDoc *doc, bool patrol);
    // The end of either run (on the GUI thread).
    void OnUpdateCheckTerminate(TTavuCheck *check);
    // Asks every running check to stop, the last first.
    void StopChecks();
    // The check or patrol downloading for the document logs that it stops and ends after the board
    // or thread in hand; false when none does.
    bool StopCheckOf(TTavuListDoc *doc);

    // The running update checks and patrols; a check leaves the list when it ends. CheckRunning
    // is set while the list holds one.
    QList<QPointer<QThread>> RunningChecks;
    bool CheckRunning = false;

signals:
    // Every row of the document is shown for the run.
    void RowCountChanged(TTavuListDoc *doc, int count);
    // A run marked rows (new responses, checking): the thread list draws them again.
    void RowsChanged();
    // A run started or ended: the thread-list commands follow CheckRunning.
    void CommandsChanged();
    // A run ended; sound is the event sound it plays now (-1: none, its sounds played during the
    // run).
    void Finished(bool patrol, int sound);
};
