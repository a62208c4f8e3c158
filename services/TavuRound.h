#pragma once
// TTavuRound: the patrol (巡回) of a thread-list tab: the new responses of every live thread of the
// tab are downloaded and stored in its log. Threads of the past-log service ("dolibscript") are
// patrolled only while logged in; the run logs in once at its start when an account is set.
//
// Each thread is downloaded through a private copy of its item (read from its .inf), so the
// download never touches the item the GUI shows. The result is taken over on the GUI thread: the
// counts and marks of the item, and, when something new came and save mode is on, the log and the
// index file. The log is written only when nobody else wrote it meanwhile (the user opening the
// same thread, say): that writer then holds the newer state, and two writers never interleave.

#include "services/TavuCheck.h"

#include <QDateTime>

class TResList;

class TTavuRound : public TTavuCheck {
    Q_OBJECT
public:
    void ShowProgress() override;
    void Stop() override;
    int NewSound() const override;
    int NoNewSound() const override;
    bool SoundsDuringRun() const override;

protected:
    void run() override;   // Execute

private:
    // The state of a log file, to tell whether someone wrote it meanwhile.
    struct TLogStamp {
        bool Exists = false;
        qint64 Size = 0;
        QDateTime Modified;
        bool operator==(const TLogStamp &other) const = default;
    };
    static TLogStamp StampOf(const QString &path);

    // What one thread's download brought.
    struct TOutcome {
        int Received = 0;          // responses of this download
        bool Done = false;         // the download reported its end
        bool Failed = false;
        bool NotModified = false;
        bool Raised = false;       // the download raised (connection, stop)
    };

    void LoginPrePass();
    void Patrol(const TEntry &entry);
    // Takes the item for the patrol (GUI thread): its private copy, or nullptr when it is no candidate.
    TThreadItem *BeginItem(TThreadItem *item);
    TOutcome Download(TThreadItem *copy, TResList &list);
    // Takes the download's result over into the shared item (GUI thread).
    void ApplyOutcome(TThreadItem *item, const TThreadItem &copy, const TResList &list, const TOutcome &outcome,
                      const TLogStamp &stamp);
};
