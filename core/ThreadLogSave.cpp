#include "core/ThreadLogSave.h"

#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"

namespace {

std::function<bool(TThreadLogSave::TStep)> &StepHook()
{
    static std::function<bool(TThreadLogSave::TStep)> hook;
    return hook;
}

bool Go(TThreadLogSave::TStep step)
{
    return !StepHook() || StepHook()(step);
}

}  // namespace

TThreadLogSave::TThreadLogSave(const TResList &list, int stored, const TThreadItem &item)
    : logPath(item.GetLogFile())
{
    item.FinishSaving();   // the log is looked at as the saves before this one leave it
    log = list.DatLogFor(logPath, stored);
    inf = std::make_shared<TIniFile>(item.GetInfFile());
    item.WriteInfo(*inf);
    if (TThreadItem::WritesIdx()) {
        idx = std::make_shared<TIniFile>(item.GetIdxFile());
        item.WriteIdx(*idx);
    }
}

QStringList TThreadLogSave::Files() const
{
    QStringList files{logPath, inf->FileName()};
    if (idx)
        files << idx->FileName();
    return files;
}

QString TThreadLogSave::Run() const
{
    try {
        if (!Go(BeforeLog))
            return {};
        log.Write(logPath);
        if (!Go(BeforeInfo))
            return {};
        log.MarkErased(*inf);
        inf->UpdateFile();
        if (idx)
            idx->UpdateFile();
    } catch (const EFileError &e) {
        return e.Message;
    }
    return {};
}

void TThreadLogSave::SetStepHook(std::function<bool(TStep)> hook)
{
    StepHook() = std::move(hook);
}
