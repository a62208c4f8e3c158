#pragma once
// TThreadLogSave: what a thread's download leaves to store, its log and its .inf, taken on the
// window's thread from the response list and the item and written later by Run, on the save
// queue's thread (TSaveQueue), while the page already shows the new responses.
//
// Only the new lines are taken, unless the log on disk, looked at when the save is taken, is not
// the stored responses: then every line is, and the log is written whole. The log is written first
// (the new lines appended and synced, TDatLog::Write), then the .inf that counts them, with the
// erased marks of the new responses (and the .idx in the log-compatibility mode). A run cut short
// between the two (the program ended) leaves a log that holds lines its .inf does not count, which
// the next load repairs (TThreadItem::CutTornAppend, RepairInfoFromLog). A write that fails stops
// the run: nothing after it is written, so the .inf keeps describing the log it described. So does
// a log that another program changed between the taking and the run: the new lines would not
// follow the stored ones there, and the run fails without writing.

#include "core/DatLog.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TIniFile;
class TResList;
class TThreadItem;

class TThreadLogSave {
public:
    // The list's first `stored` responses are the stored log; the item's fields go into the .inf.
    // Waits for the saves still pending on the thread's files; the .inf is read here, and the log's
    // size and last line are looked at (TResList::DatLogFor).
    TThreadLogSave(const TResList &list, int stored, const TThreadItem &item);

    // The files Run writes: the log, its .inf (and .idx).
    QStringList Files() const;
    // Writes; returns the failure's message, empty when everything was written.
    QString Run() const;

    // Test hook, called before each step; false ends the run there, as if the program had ended.
    enum TStep { BeforeLog, BeforeInfo };
    static void SetStepHook(std::function<bool(TStep)> hook);

private:
    QString logPath;
    TDatLog log;
    std::shared_ptr<TIniFile> inf;
    std::shared_ptr<TIniFile> idx;   // in the log-compatibility mode
};
