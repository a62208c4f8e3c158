#include "services/TavuRound.h"

#include "boards/DolibManager.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/Res.h"
#include "core/ResDownloader.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "services/EventLog.h"

#include <QFileInfo>

namespace {

bool IsPastLogService(const TThreadItem *item)
{
    return item->BBS && item->BBS->ID.compare(QStringLiteral("dolibscript"), Qt::CaseInsensitive) == 0;
}

bool PastLogLoggedIn()
{
    return DolibManager && DolibManager->IsLoggedIn();
}

}  // namespace

int TTavuRound::NewSound() const
{
    return EventLog::esRound;
}

int TTavuRound::NoNewSound() const
{
    return EventLog::esRoundNo;
}

bool TTavuRound::SoundsDuringRun() const
{
    return TavuConfig->SOUND_EXECROUND_THREAD;
}

void TTavuRound::Stop()
{
    AddLog(QStringLiteral("※巡回を中止します。しばらくお待ちください。"));
    requestInterruption();
}

void TTavuRound::ShowProgress()
{
    if (!batch.isEmpty())
        RepaintThreadList();
    if (busy && !batch.isEmpty())
        AddLog(QStringLiteral("  →巡回中：%1").arg(batch.constFirst()->ShownTitle()));
}

void TTavuRound::run()
{
    AddLog(QStringLiteral("▽更新チェック開始"));
    LoginPrePass();
    for (const TEntry &entry : std::as_const(entries)) {
        Patrol(entry);
        if (StopRequested())
            break;
    }
    batch.clear();
    AddLog(QStringLiteral("△更新チェック終了"));
    AddLog(QStringLiteral(" "));
}

// At the first past-log-service thread: log in when an account is set (once per run).
void TTavuRound::LoginPrePass()
{
    bool login = false;
    OnGuiThread([this, &login] {
        for (const TEntry &entry : std::as_const(entries)) {
            if (IsPastLogService(entry.Item)) {
                login = !PastLogLoggedIn() && DolibManager && !TavuConfig->DOLIB_USERNAME.isEmpty();
                return;
            }
        }
    });
    if (login)
        DolibManager->Login();
}

TThreadItem *TTavuRound::BeginItem(TThreadItem *item)
{
    if (!item->Live || (IsPastLogService(item) && !PastLogLoggedIn()))
        return nullptr;
    batch.append(item);
    item->Checking = true;
    item->CheckError = false;
    auto *copy = new TThreadItem;
    copy->CopyLocation(*item);
    return copy;
}

void TTavuRound::Patrol(const TEntry &entry)
{
    batch.clear();
    TThreadItem *copy = nullptr;
    OnGuiThread([&] { copy = BeginItem(entry.Item); });
    if (!copy)
        return;
    busy = true;
    Progress();

    copy->LoadInfo();
    const TLogStamp stamp = StampOf(copy->GetLogFile());
    TOutcome outcome;
    {
        TResList list(copy);
        outcome = Download(copy, list);
        OnGuiThread([&] { ApplyOutcome(entry.Item, *copy, list, outcome, stamp); });
    }
    copy->Release();
    if (outcome.Received > 0)
        PlayNewSound();
    OnGuiThread([&] {
        if (outcome.Raised)
            entry.Item->CheckError = true;
        entry.Item->Checking = false;
    });
    busy = false;
    Progress();
}

TTavuRound::TOutcome TTavuRound::Download(TThreadItem *copy, TResList &list)
{
    TOutcome outcome;
    TBoard *board = copy->GetBoard();
    TResDownloader job(copy);
    job.BBS = copy->BBS;
    job.Site = copy->Site;
    job.Board = board;
    job.ResList = &list;
    job.SetUrl(QString());
    job.CodePage = board ? board->CodePage : 0;
    job.OnRes = [&list, &outcome](TResDownloader *, TRes *res, int, int) {
        list.Add(res);
        ++outcome.Received;
    };
    job.OnDone = [&outcome](TResDownloader *j, bool failed) {
        outcome.Done = true;
        outcome.Failed = failed;
        outcome.NotModified = j->NotModified;
        j->ReleaseItem();
    };
    job.OnError = [](TResDownloader *, int, const QString &, const QString &) {};

    copy->LoadResList(list);
    job.SetCacheReady();
    if (!job.BBS) {
        outcome.Raised = true;
        return outcome;
    }
    try {
        job.BBS->DownloadThread(&job, false, false, true);
    } catch (const EVarnelo &) {
        outcome.Raised = true;
    }
    return outcome;
}

void TTavuRound::ApplyOutcome(TThreadItem *item, const TThreadItem &copy, const TResList &list,
                              const TOutcome &outcome, const TLogStamp &stamp)
{
    item->LOAD_COUNT += 1;
    if (outcome.Received > 0)
        item->NewCount = qMax(0, item->NewCount) + outcome.Received;
    if (copy.KAKOLOG != item->KAKOLOG)
        item->SetKakolog(copy.KAKOLOG);
    TavuConfig->SetLoadThreadCount(TavuConfig->VOZADAZOZ_LOAD_THREAD_COUNT + 1);

    const QString log = copy.GetLogFile();
    const bool store = outcome.Done && !outcome.Failed && !outcome.NotModified && outcome.Received > 0
                       && list.Count() > 0 && TavuEnviron->GetCached() && StampOf(log) == stamp;
    if (!store)
        return;
    try {
        list.SaveDat(log);
    } catch (const EVarnelo &) {
        item->CheckError = true;
        return;
    }
    item->COUNT += outcome.Received;
    item->RaiseListedCount();
    item->SetLastLoadNow();
    item->SIZE = copy.SIZE;
    item->LAST_MODIFIED = copy.LAST_MODIFIED;
    item->ETAG = copy.ETAG;
    if (item->TITLE.isEmpty())
        item->SetTitle(copy.TITLE);
    item->SaveInfo();
    somethingNew = true;
}

TTavuRound::TLogStamp TTavuRound::StampOf(const QString &path)
{
    const QFileInfo info(path);
    TLogStamp stamp;
    stamp.Exists = info.exists();
    if (stamp.Exists) {
        stamp.Size = info.size();
        stamp.Modified = info.lastModified();
    }
    return stamp;
}
