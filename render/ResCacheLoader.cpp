#include "render/ResCacheLoader.h"

#include "core/FileUtil.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"

TResCacheLoader::TResCacheLoader(TTavuBrowser *tab, TResList *list, TThreadItem *item, const QSet<int> &erased)
    : tab(tab), list(list), listSerial(tab ? tab->ResListSerial() : 0), item(item), erased(erased)
{
    if (item) {
        item->AddRef();
        item->CutTornAppend();
        logPath = item->GetLogFile();
    }
    if (tab)
        tab->SetCacheLoader(this);
    connect(this, &QThread::finished, this, &TResCacheLoader::EndReached);
}

TResCacheLoader::~TResCacheLoader()
{
    wait();   // the thread has ended (the loader is freed after its end); let it leave entirely
    if (item)
        item->Release();
}

TTavuBrowser *TResCacheLoader::Tab() const
{
    return tab;
}

void TResCacheLoader::Start()
{
    start();
}

void TResCacheLoader::Cancel()
{
    requestInterruption();
}

// The worker: parses the log a chunk of lines at a time and hands each chunk over. There is
// always at least one chunk, so a thread without a log still gets its header.
void TResCacheLoader::run()
{
    const QByteArray log = logPath.isEmpty() ? QByteArray() : FileUtil::ReadFile(logPath);
    qsizetype position = 0;
    int number = 1;
    do {
        if (isInterruptionRequested())
            break;
        qsizetype end = position;
        for (int lines = 0; end < log.size() && lines < ChunkSize; ++lines) {
            const qsizetype lineFeed = log.indexOf('\n', end);
            end = lineFeed < 0 ? log.size() : lineFeed + 1;
        }
        auto responses = std::make_shared<TResList>();
        responses->LoadDat(log.mid(position, end - position));
        Hand(TChunk{responses, number});
        number += responses->Count();
        position = end;
    } while (position < log.size());

    Hand(std::nullopt);
}

// From the worker: a chunk (none: the end) for the GUI thread, which takes it as soon as it comes
// while it waits for it (RenderFirstScreen), else once the event loop wakes it.
void TResCacheLoader::Hand(std::optional<TChunk> chunk)
{
    {
        const std::lock_guard lock(handOver);
        if (chunk)
            handed.append(*chunk);
        else
            workerDone = true;
    }
    handedOne.notify_one();
    QMetaObject::invokeMethod(this, &TResCacheLoader::Drain, Qt::QueuedConnection);
}

// The chunks handed over go into the queue.
void TResCacheLoader::TakeHanded()
{
    const std::lock_guard lock(handOver);
    ready.append(handed);
    handed.clear();
    parsed = workerDone;
}

// Waits for each chunk as the worker hands it over and renders it, until the tab has written its
// first screen or the log has no more. What follows (the end's report among it) comes as usual,
// through the event loop.
void TResCacheLoader::RenderFirstScreen()
{
    while (TabStillWanted() && !tab->FirstScreenWritten() && !parsed) {
        {
            std::unique_lock lock(handOver);
            handedOne.wait(lock, [this] { return !handed.isEmpty() || workerDone; });
        }
        TakeHanded();
        RenderReady();
    }
    if (!parsed)
        return;
    // A log that ends within the first screen is all of it, and it goes at once as well.
    if (TabHoldsList())
        tab->EndFirstScreen();
    // A callback that pumped events may have taken the wake-up that reports the end.
    QMetaObject::invokeMethod(this, &TResCacheLoader::Drain, Qt::QueuedConnection);
}

void TResCacheLoader::Drain()
{
    TakeHanded();
    RenderReady();
    if (parsed && !draining)
        ReportDone();
}

// Renders the chunks that arrived, in order. A callback that pumps events may bring the next
// chunk in meanwhile; it waits in the queue for the outer call.
void TResCacheLoader::RenderReady()
{
    if (draining)
        return;
    draining = true;
    while (!ready.isEmpty()) {
        const TChunk chunk = ready.takeFirst();
        if (TabStillWanted())
            Render(chunk);
        else
            requestInterruption();
    }
    draining = false;
}

bool TResCacheLoader::TabHoldsList() const
{
    return tab && tab->ResList() == list && tab->ResListSerial() == listSerial;
}

bool TResCacheLoader::TabStillWanted() const
{
    return TabHoldsList() && !isInterruptionRequested();
}

void TResCacheLoader::Render(const TChunk &chunk)
{
    tab->BeginChunk();
    if (!headerWritten) {
        tab->WriteHeader();
        headerWritten = true;
    }
    // A callback may close the tab or its thread (which frees the list) or cancel the loading:
    // then nothing more is added.
    for (int i = 0; i < chunk.responses->Count() && TabStillWanted(); ++i) {
        auto *res = new TRes;
        res->Assign(*chunk.responses->Get(i));
        res->Number = chunk.firstNumber + i;
        res->Erased = erased.contains(res->Number);
        if (item) {
            res->IsNew = item->READ < res->Number;   // stored by a patrol and not read yet
            res->BBS = item->BBS;
            res->Site = item->Site;
            res->Board = item->GetBoard();
            if (!item->TITLE.isEmpty())
                res->Title = item->TITLE;
        }
        list->Add(res);
        ++rendered;
        if (OnCacheRes)
            OnCacheRes(this, res);
        else if (tab->TakesRes(res))
            tab->AppendRes(res);
    }
    if (!tab)
        return;   // a callback closed the tab
    const QString html = tab->EndChunk();
    if (!TabHoldsList()) {
        requestInterruption();   // the tab shows something else now
        return;
    }
    // The responses added so far are shown, also when the loading was cancelled meanwhile.
    if (OnCacheChunk)
        OnCacheChunk(this, html);
    else
        tab->AppendHtml(html);
}

void TResCacheLoader::ReportDone()
{
    if (doneReported)
        return;
    doneReported = true;
    if (TabHoldsList())
        tab->EndFirstScreen();   // what the log holds is all in the page before anything else comes
    if (OnCacheDone)
        OnCacheDone(this);
    EndReached();
}

void TResCacheLoader::EndReached()
{
    if (--endsToGo == 0)
        deleteLater();
}
