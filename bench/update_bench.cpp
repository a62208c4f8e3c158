// How long an open thread takes to show 10 new responses: through the program's real update path
// (a reload of the open tab against the local board server: request, differential download, rules,
// writing, saving the log, appending to the live page), against appending the same responses' HTML
// to the same live page directly. Threads of 250, 1000 and 4000 responses show whether the cost
// grows with the thread's length. Run headless: QT_QPA_PLATFORM=offscreen. The last line gives the
// update path's time over the direct append's for 1000 responses.
#include "WebEngineBenchMain.h"
#include "gui/PostTestEnv.h"
#include "render/TavuBrowser.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>

namespace {

constexpr int NewCount = 10;
const QString Key = QStringLiteral("1000000001");

// The main window on the board server with an open thread of the given length.
struct TOpenThread {
    TPostWindowEnv env;
    PostTest::ItemRef item{new TThreadItem};
    TTavuBrowser *tab = nullptr;

    explicit TOpenThread(int responses)
    {
        PostTest::AddThread(env.server, PostTest::News, Key, responses);
        item->SetLocation(env.site->SITEID, PostTest::News, Key, QString());
        item->DownloadRequest = true;
        env.Window()->OpenThread(item.get(), false, false, true, 0, false, QString());
        Settle();
        tab = env.Window()->Browsers.first();
    }

    void Settle()
    {
        if (!PostTest::WaitFor(
                [this] {
                    return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0
                           && !env.Window()->Browsers.first()->Browser()->IsBusy();
                },
                120000))
            qFatal("the thread did not settle");
    }

    void Grow()
    {
        for (int i = 0; i < NewCount; ++i)
            env.server.AppendRes(PostTest::News, Key, QStringLiteral("名無し"), QString(),
                                 QStringLiteral("新着 &gt;&gt;%1 の本文<br>二行目").arg(i + 1));
    }
};

void BM_UpdateThroughReload(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    for (auto _ : state) {
        thread.Grow();
        QElapsedTimer clock;
        clock.start();
        thread.env.Window()->OpenThread(thread.item.get(), true, false, true, 0, false, QString());
        thread.Settle();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    if (thread.tab->ResList()->Count() != state.range(0) + NewCount * int(state.iterations()))
        state.SkipWithError("the update did not bring each new response once");
}

void BM_AppendSameHtml(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    thread.Grow();
    thread.env.Window()->OpenThread(thread.item.get(), true, false, true, 0, false, QString());
    thread.Settle();
    // The HTML of the last ten responses, as the tab writes them.
    TResList *list = thread.tab->ResList();
    thread.tab->BeginChunk();
    for (int i = list->Count() - NewCount; i < list->Count(); ++i)
        thread.tab->AppendRes(list->Get(i));
    const QString html = thread.tab->EndChunk();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        thread.tab->ReopenDocument();
        thread.tab->AppendHtml(html);
        thread.Settle();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}

BENCHMARK(BM_UpdateThroughReload)->Arg(250)->Arg(1000)->Arg(4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_AppendSameHtml)->Arg(250)->Arg(1000)->Arg(4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter("BM_UpdateThroughReload/1000", "BM_AppendSameHtml/1000", 1.5);
    return RunWebEngineBenchmarks(argc, argv, reporter);
}
