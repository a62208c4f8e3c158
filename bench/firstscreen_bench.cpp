// Opening a stored thread where it was left: from the open request until the page has painted its
// first screen (the responses at that place), for threads of 1,000 and 10,000 responses, beside the
// floor: a page holding that same first screen (the header, the responses of the screen and the
// footer, as the tab writes them) loaded from a file in the same engine until its first paint.
// Both are measured from the page: once the response shown first is in it, a requestAnimationFrame
// callback notes the time (the frame that shows it), which the bench reads back.
// Opening a thread never read, from the board server, in a new tab, until the tab shows it (its first
// screen, at the top), beside the page of that first screen loaded from a file until its first paint.
// Run headless: QT_QPA_PLATFORM=offscreen.
#include "FinishedPage.h"
#include "PagePaint.h"
#include "WebEngineBenchMain.h"
#include "window/PostTestEnv.h"
#include "render/TavuBrowser.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>

namespace {

const QString Key = QStringLiteral("1000000001");

// The main window with a stored thread of `responses` responses that was left at 80 % of it.
struct TStoredThread {
    TPostWindowEnv env;
    int shown;

    explicit TStoredThread(int responses) : shown(responses * 4 / 5)
    {
        env.Window()->resize(1200, 900);
        env.Window()->show();   // a page paints only in a window shown
        PostTest::AddThread(env.server, PostTest::News, Key, responses);
        PostTest::ItemRef item(NewItem());
        item->DownloadRequest = true;
        TTavuBrowser *tab = Open(item.get());
        tab->ScrollToRes(shown);
        Settle([&] { return tab->GetTopResNumber() == shown; });
        env.Window()->Tabs().CloseActiveBrowser();   // the thread keeps where it was left
        AwaitTabMadeInAdvance();
    }

    // A reader opens the next thread a while after the last one: by then the tab made in advance for
    // it is ready.
    void AwaitTabMadeInAdvance()
    {
        Settle([this] {
            const QList<TTavuBrowser *> tabs = env.Window()->findChildren<TTavuBrowser *>();
            return std::any_of(tabs.begin(), tabs.end(), [](TTavuBrowser *tab) { return tab->IsReady(); });
        });
    }

    TThreadItem *NewItem() const
    {
        auto *item = new TThreadItem;
        item->SetLocation(env.site->SITEID, PostTest::News, Key, QString());
        return item;
    }

    TTavuBrowser *Open(TThreadItem *item)
    {
        env.Window()->OpenThread(item, false, true, true, 0, false, QString());
        TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
        Settle([tab] { return !tab->Browser()->IsBusy(); });
        return tab;
    }

    void Settle(const std::function<bool()> &more)
    {
        if (!PostTest::WaitFor([&] { return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0 && more(); },
                               120000))
            qFatal("the thread did not settle");
    }
};

void BM_FirstScreen(benchmark::State &state)
{
    TStoredThread thread(int(state.range(0)));
    for (auto _ : state) {
        PostTest::ItemRef item(thread.NewItem());   // the stored log alone
        const double start = PagePaint::Now();
        thread.env.Window()->OpenThread(item.get(), false, true, true, 0, false, QString());
        TTavuBrowser *tab = thread.env.Window()->Tabs().Browsers().first();
        const double painted = PagePaint::PaintedAt(tab->Browser()->page(), thread.shown);
        state.SetIterationTime((painted - start) / 1000);
        state.PauseTiming();
        thread.Settle([tab] { return !tab->Browser()->IsBusy(); });
        thread.env.Window()->Tabs().CloseActiveBrowser();
        thread.AwaitTabMadeInAdvance();
        state.ResumeTiming();
    }
}

// The page of the first screen at the response `from`, as the tab writes it.
QString FirstScreenHtml(TTavuBrowser *tab, int from)
{
    TResList *list = tab->ResList();
    tab->BeginChunk();
    tab->WriteHeader();
    for (int i = from - 1; i < std::min(list->Count(), from - 1 + TTavuBrowser::FirstScreenSize); ++i)
        tab->AppendRes(list->Get(i));
    tab->WriteHtml();
    return tab->EndChunk();
}

// The floor: the page of the same first screen (at the place the thread was left, or at its top, as a
// thread never read opens) loaded from a file into a view of the same engine.
void BM_ScreenPageFirstPaint(benchmark::State &state, bool atTop)
{
    TStoredThread thread(int(state.range(0)));
    PostTest::ItemRef item(thread.NewItem());
    TTavuBrowser *tab = thread.Open(item.get());
    const int from = atTop ? 1 : thread.shown;
    TFinishedPage page(tab, FirstScreenHtml(tab, from));
    QWebEngineView &view = page.view;
    for (auto _ : state) {
        view.setHtml(QString());
        PostTest::WaitFor([&view] { return !view.page()->isLoading(); });
        const double start = PagePaint::Now();
        view.load(QUrl::fromLocalFile(page.path));
        const double painted = PagePaint::PaintedAt(view.page(), from);
        state.SetIterationTime((painted - start) / 1000);
    }
}

// Opening a thread never read, from the board server, in a new tab: from the open request until the
// tab shows it (its cover goes once its page has drawn its first screen; the rest follows).
void BM_OpenDownloaded(benchmark::State &state)
{
    const int responses = int(state.range(0));
    TStoredThread thread(responses);
    int opened = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString key = QString::number(1100000000 + ++opened);
        PostTest::AddThread(thread.env.server, PostTest::News, key, responses);
        PostTest::ItemRef item(PostTest::NewsItem(thread.env, key));
        bool shown = false;
        QObject watcher;
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        thread.env.Window()->OpenThread(item.get(), false, true, true, 0, false, QString());
        TTavuBrowser *tab = thread.env.Window()->Tabs().Browsers().first();
        QObject::connect(tab, &TTavuBrowser::Uncovered, &watcher, [&shown] { shown = true; });
        if (!PostTest::WaitFor([&] { return shown || (!tab->IsCovered() && !tab->Browser()->IsBusy()); }, 120000))
            qFatal("the thread was not shown");
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        state.PauseTiming();
        if (tab->ResList()->Count() != responses)
            state.SkipWithError("the tab does not hold the whole thread");
        thread.Settle([tab] { return !tab->Browser()->IsBusy(); });
        thread.env.Window()->Tabs().CloseActiveBrowser();
        thread.AwaitTabMadeInAdvance();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_OpenDownloaded)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_ScreenPageFirstPaint, at_top, true)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FirstScreen)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_ScreenPageFirstPaint, at_place, false)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter({{"BM_OpenDownloaded/1000/", "BM_ScreenPageFirstPaint/at_top/1000/"},
                             {"BM_FirstScreen/1000/", "BM_ScreenPageFirstPaint/at_place/1000/"},
                             {"BM_FirstScreen/10000/", "BM_ScreenPageFirstPaint/at_place/10000/"}},
                            1.0);
    return RunWebEngineBenchmarks(argc, argv, reporter);
}
