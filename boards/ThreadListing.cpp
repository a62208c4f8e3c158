#include "boards/ThreadListing.h"

#include "core/Board.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "core/ThreadListDownloader.h"

TThreadItem *TThreadListing::NewItem(TBoard *board, const QString &datName, const QString &title, int count,
                                     int number)
{
    auto *item = new TThreadItem();
    item->SetLocation(board->Site ? board->Site->SITEID : QString(), board->ID, datName, title);
    if (item->GetBoard() != board) {
        // A board that its site does not list (made from a URL): the item keeps it explicitly.
        item->SetBoard(board);
        item->BBS = board->BBS;
    }
    item->AGECOUNT = count;
    item->Number = number;
    return item;
}

void TThreadListing::Report(TThreadItem *item, int maximum, int position)
{
    if (job->OnThreadItem)
        job->OnThreadItem(job, item);
    if (progress && job->OnProgress)
        progress = job->OnProgress(job, item, maximum, position);
    item->Release();
}

void TThreadListing::ReportStored(TThreadItem *item)
{
    if (job->OnThreadItem)
        job->OnThreadItem(job, item);
    item->Release();
}

void TThreadListing::Error(int code, const QString &message, const QString &detail)
{
    if (job->OnError)
        job->OnError(job, code, message, detail);
}

void TThreadListing::Done(bool failed)
{
    if (job->OnDone)
        job->OnDone(job, failed);
}
