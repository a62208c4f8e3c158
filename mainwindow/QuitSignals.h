#pragma once
// TQuitSignals: SIGTERM (logout, shutdown, a process manager), SIGINT (Ctrl+C) and SIGHUP (the
// terminal went away) end the program through its orderly close instead of at once.
//
// The signal handler only writes the signal's number to a pipe, which is all a handler may safely
// do; a socket notifier on the GUI thread reads the pipe and emits Received from the event loop.
// One object may exist at a time; destroying it restores the default handling.

#include <QObject>

class QSocketNotifier;

class TQuitSignals : public QObject {
    Q_OBJECT
public:
    explicit TQuitSignals(QObject *parent = nullptr);
    ~TQuitSignals() override;

    // False when the pipe could not be made (the signals then keep their default handling).
    bool IsActive() const { return notifier != nullptr; }

signals:
    void Received(int signal);

private:
    QSocketNotifier *notifier = nullptr;

    void ReadSignals();
};
