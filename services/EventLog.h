#pragma once
// The log pane's lines and the event sounds, as every layer of the program asks for them: workers
// and dialogs included, none of them knowing the window. The main window installs its log pane as
// the log sink; the sounds are the files the configuration names (section SOUND).

#include <QString>
#include <functional>

namespace EventLog {

// ---- log lines ----

// A line of the log pane from anywhere in the program, workers included: it goes to the log sink
// the main window installs (its log pane), or to the debug output while there is none.
void AddLog(const QString &text);
using TLogSink = std::function<void(const QString &text)>;
// Installs the log sink; returns the one it replaces. The sink is called on the caller's thread.
TLogSink SetLogSink(TLogSink sink);

// ---- event sounds ----

enum TEventSound {
    esThreadList = 0,      // a thread list was loaded
    esThreadNewRes = 1,    // a thread download brought new responses
    esThreadNoNewRes = 2,  // ... brought nothing new; also the end of a filtered view
    esSend = 3,            // a post or new thread succeeded
    esError = 4,           // a download or post failed
    esUpdateCheck = 5,     // an update check found updates
    esRound = 6,           // a patrol found updates
    esUpdateCheckNo = 7,   // an update check found nothing
    esRoundNo = 8,         // a patrol found nothing
};

// The sound file of an event (section SOUND of the configuration); empty when the event's switch
// is off, its file name is empty or the event is unknown.
QString EventSoundFile(int event);
// Plays the event's sound without waiting for it; nothing when EventSoundFile is empty.
void PlayEventSound(int event);

}  // namespace EventLog
