#pragma once
// TTavuCheck: the common part of the two background runs over the threads of a thread-list tab,
// the update check (TTavuUpdateCheck) and the patrol (TTavuRound). Each run is one worker thread.
//
// The main window makes the run, hands it the tab's items (AddItem, on the GUI thread, before the
// run starts), sets the owner document, starts it and keeps it in its list of running checks until
// it ends. The run downloads on its own thread with the board types' synchronous operations.
//
// The thread items are shared with the GUI, which reads and changes them all the time. So the
// worker never touches an item itself: everything it reads of one, every mark and count it sets
// and every log or index file it writes is handed to the GUI thread (OnGuiThread), which runs it
// while the worker waits. Progress, sounds and log-pane lines go the same way, in order. A stop
// (Stop, or the thread's interruption request) is looked at between boards or threads; a download
// in progress runs to its end or to the registry's stop flag.

#include <QList>
#include <QPointer>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

class TBoard;
class TTavuListDoc;
class TThreadItem;
class TThreadItemList;

class TTavuCheck : public QThread {
    Q_OBJECT
public:
    TTavuCheck();
    // Releases every item.
    ~TTavuCheck() override;

    // Adds a reference to the item and appends it (GUI thread, before the run starts).
    void AddItem(TThreadItem *item);
    TThreadItemList *Items() const { return items.get(); }

    // The owner document (set by the main window).
    QPointer<TTavuListDoc> Doc;

    // Appends one line to the main window's log pane (on the GUI thread).
    void AddLog(const QString &text);
    // Plays the run's "found something" sound on the GUI thread, when the setting asks for a sound
    // after every board (update check) or thread (patrol) that brought something.
    void PlayNewSound();
    // The progress display (on the GUI thread).
    virtual void ShowProgress() = 0;
    // Logs that the run stops and asks the thread to end after the board or thread in hand.
    virtual void Stop() = 0;

    // The run found something new (read once it has ended).
    bool SomethingNew() const { return somethingNew; }
    // The event sound of the run when it found something, and when it found nothing.
    virtual int NewSound() const = 0;
    virtual int NoNewSound() const = 0;
    // True for the per-board (update check) or per-thread (patrol) sound setting.
    virtual bool SoundsDuringRun() const = 0;

    // Where the log-pane lines go; the main window's log pane unless a test replaces it.
    std::function<void(const QString &)> LogSink;
    // Repaints the main window's thread list (set by the main window; GUI thread).
    std::function<void()> RepaintList;

protected:
    // What the worker knows of an item without touching it: taken when it is added.
    struct TEntry {
        TThreadItem *Item = nullptr;   // touched only on the GUI thread
        TBoard *Board = nullptr;
        QString BoardUrl;
        QString BoardID;
    };
    QList<TEntry> entries;

    // Runs work on the GUI thread and waits for it (at once when already there).
    static void OnGuiThread(const std::function<void()> &work);
    // Sets or clears the in-progress mark of the items on the GUI thread.
    void SetChecking(const QList<TThreadItem *> &batchItems, bool on);
    // Runs the progress display on the GUI thread.
    void Progress();
    // Repaints the main window's thread list when the run belongs to a document (GUI thread).
    void RepaintThreadList() const;

    // State shown by the progress displays. Written by the worker between hand-offs, read on the
    // GUI thread during them.
    bool busy = false;
    QString currentBoardName;
    QList<TThreadItem *> batch;
    bool somethingNew = false;

    bool StopRequested() const { return isInterruptionRequested(); }

private:
    std::unique_ptr<TThreadItemList> items;
};
