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
    : logPath(item.GetLogFile()), log(list.DatLog(stored))
{
    item.FinishSaving();
    // Only the new lines go, unless the log on disk is not the stored ones (another program changed
    // it, or it holds other line breaks): then it is written whole.
    if (!log.Continues(logPath))
        log = list.DatLog(0);
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
