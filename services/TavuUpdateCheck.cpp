#include "services/TavuUpdateCheck.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"
#include "services/EventLog.h"

#include <QHash>
#include <QSet>

int TTavuUpdateCheck::NewSound() const
{
    return EventLog::esUpdateCheck;
}

int TTavuUpdateCheck::NoNewSound() const
{
    return EventLog::esUpdateCheckNo;
}

bool TTavuUpdateCheck::SoundsDuringRun() const
{
    return TavuConfig->SOUND_EXECUPDATECHECK_THREAD;
}

void TTavuUpdateCheck::Stop()
{
    AddLog(QStringLiteral("※更新チェックを中止します。しばらくお待ちください。"));
    requestInterruption();
}

void TTavuUpdateCheck::ShowProgress()
{
    RepaintThreadList();
    if (busy)
        AddLog(QStringLiteral("  →チェック中：%1").arg(currentBoardName));
}

void TTavuUpdateCheck::run()
{
    AddLog(QStringLiteral("▽更新チェック開始"));
    for (const TEntry &board : DistinctBoards()) {
        CheckBoard(board);
        if (StopRequested())
            break;
    }
    batch.clear();
    currentBoardName.clear();
    busy = false;
    Progress();
    AddLog(QStringLiteral("△更新チェック終了"));
    AddLog(QStringLiteral(" "));
}

QList<TTavuCheck::TEntry> TTavuUpdateCheck::DistinctBoards() const
{
    QList<TEntry> boards;
    QSet<QString> seen;
    for (const TEntry &entry : entries) {
        if (!entry.Board || seen.contains(entry.BoardUrl))
            continue;
        seen.insert(entry.BoardUrl);
        boards.append(entry);
    }
    return boards;
}

// Items of a board are those with its URL and its id (the board id alone is not unique among sites).
bool TTavuUpdateCheck::SameBoard(const TEntry &entry, const TEntry &board) const
{
    return entry.BoardUrl == board.BoardUrl && entry.BoardID == board.BoardID;
}

void TTavuUpdateCheck::CheckBoard(const TEntry &board)
{
    currentBoardName = board.BoardUrl;
    batch.clear();
    OnGuiThread([this, &board] {
        for (const TEntry &entry : std::as_const(entries)) {
            if (SameBoard(entry, board) && entry.Item->Live)
                batch.append(entry.Item);
        }
    });
    SetChecking(batch, true);
    if (!batch.isEmpty()) {
        busy = true;
        Progress();
        TThreadItemList result;
        bool complete = false;
        const bool raised = !DownloadListing(board, result, complete);
        int updates = 0;
        OnGuiThread([&] {
            updates = ApplyListing(board, result, complete);
            if (raised) {
                for (const TEntry &entry : std::as_const(entries)) {
                    if (SameBoard(entry, board))
                        entry.Item->CheckError = true;
                }
            }
        });
        if (updates > 0)
            PlayNewSound();
    }
    SetChecking(batch, false);
}

bool TTavuUpdateCheck::DownloadListing(const TEntry &board, TThreadItemList &result, bool &complete)
{
    TThreadListDownloader job;
    job.BBS = board.Board->BBS;
    job.Site = board.Board->Site;
    job.Board = board.Board;
    job.CodePage = board.Board->CodePage;
    job.Items = &result;
    bool done = false;
    bool failed = false;
    job.OnThreadItem = [&result](TThreadListDownloader *, TThreadItem *item) { result.Add(item); };
    job.OnDone = [&done, &failed](TThreadListDownloader *, bool f) {
        done = true;
        failed = failed || f;
    };
    job.OnError = [this, &failed](TThreadListDownloader *j, int code, const QString &message, const QString &) {
        failed = true;
        ListingError(j, code, message);
    };
    if (!job.BBS)
        return false;
    try {
        job.BBS->DownloadThreadList(&job, false, true);
    } catch (const EVarnelo &) {
        return false;
    }
    complete = done && !failed && !job.NotModified && !job.BBS->IsThreadListPaged() && result.Count() > 0;
    return true;
}

void TTavuUpdateCheck::ListingError(TThreadListDownloader *job, int code, const QString &message)
{
    if (code == 0 || !job->Board)
        return;
    const QString siteName = job->Board->Site ? job->Board->Site->NAME : QString();
    AddLog(QStringLiteral("△スレッド一覧取得エラー →") + job->Board->Name + QStringLiteral("＠") + siteName);
    AddLog(QStringLiteral("→") + QString::number(code) + QLatin1Char(':') + message);
    AddLog(QString());
}

int TTavuUpdateCheck::ApplyListing(const TEntry &board, const TThreadItemList &listed, bool complete)
{
    QHash<QString, const TThreadItem *> byKey;
    for (int i = 0; i < listed.Count(); ++i) {
        const TThreadItem *item = listed.Get(i);
        if (item->BoardID == board.BoardID)
            byKey.insert(item->GetKey(), item);
    }
    int updates = 0;
    for (const TEntry &entry : std::as_const(entries)) {
        if (!SameBoard(entry, board))
            continue;
        TThreadItem *item = entry.Item;
        if (const TThreadItem *found = byKey.value(item->GetKey())) {
            if (found->AGECOUNT > item->AGECOUNT) {
                item->AGECOUNT = found->AGECOUNT;
                item->Updated = true;
                somethingNew = true;
                ++updates;
            }
        } else if (complete && !item->KAKOLOG) {
            if (TavuConfig->ROUND_KAKO_OCHI == 0)
                item->CheckError = true;
            else if (TavuConfig->ROUND_KAKO_OCHI == 1)
                item->SetKakolog(true);
        }
    }
    return updates;
}
