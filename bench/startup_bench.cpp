// From the start of the program with a thread on its command line until the page has painted the
// thread, against the floor: the same finished page loaded from a file into a view of the same
// engine until its first paint. The program's start is the main window made with the thread's URL
// as its argument and shown, as main() does (its start-up step runs from its own timer); the
// stored thread of 1,000 responses is then fetched again (nothing new) and drawn. Measured from the
// page: the frame that shows the first response, and the frame that shows the last one (the whole
// thread in the page). Both sides run in a process whose engine already runs.
// Run headless: QT_QPA_PLATFORM=offscreen.
#include "FinishedPage.h"
#include "PagePaint.h"
#include "WebEngineBenchMain.h"
#include "controls/BoardTree.h"
#include "core/SaveQueue.h"
#include "flows/StartupSequence.h"
#include "render/TavuBrowser.h"
#include "window/PostTestEnv.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QWebEngineView>

namespace {

const QString Key = QStringLiteral("1000000001");
constexpr int Responses = 1000;

// The program's folder with the thread stored, and the board server that has it.
struct TStoredThread {
    TPostWindowEnv env;
    QString url;

    TStoredThread()
    {
        PostTest::AddThread(env.server, PostTest::News, Key, Responses);
        PostTest::ItemRef item(PostTest::NewsItem(env, Key));
        PostTest::OpenThread(env, item.get());
        Settle([] { return true; });
        url = env.server.Url(QStringLiteral("/test/read.cgi/news/%1/").arg(Key));
    }

    // The program starts again with the thread's URL on its command line.
    TTavuBrowser *Start()
    {
        env.env.Window = new TVarneloWindow;
        env.Window()->SetCommandLine({url});
        env.Window()->resize(1200, 900);
        env.Window()->show();
        if (!PostTest::WaitFor([this] { return !env.Window()->Tabs().Browsers().isEmpty(); }, 120000))
            qFatal("the thread of the command line did not open");
        return env.Window()->Tabs().Browsers().first();
    }

    // The program ends.
    void End()
    {
        Settle([] { return true; });
        env.env.Destroy();
    }

    void Settle(const std::function<bool()> &more)
    {
        if (!PostTest::WaitFor([&] { return PostTest::Settled(env) && more(); }, 120000))
            qFatal("the thread did not settle");
    }
};

// From the program's start with the thread on its command line until the page has painted the
// given number of responses.
void MeasureStartUntilPainted(benchmark::State &state, int responses)
{
    TStoredThread thread;
    thread.env.env.Destroy();
    for (auto _ : state) {
        const double start = PagePaint::Now();
        TTavuBrowser *tab = thread.Start();
        state.SetIterationTime((PagePaint::PaintedAt(tab->Browser()->page(), responses) - start) / 1000);
        state.PauseTiming();
        thread.End();
        state.ResumeTiming();
    }
}

void BM_StartToFirstResponsePainted(benchmark::State &state)
{
    MeasureStartUntilPainted(state, 1);
}

void BM_StartToWholeThreadPainted(benchmark::State &state)
{
    MeasureStartUntilPainted(state, Responses);
}

// The floor: a view of the same engine, shown at the tab's size, loads the thread's finished page
// from a file, until it has painted it.
void BM_FinishedPageFromFile(benchmark::State &state)
{
    TStoredThread thread;
    TTavuBrowser *tab = thread.env.Window()->Tabs().Browsers().first();
    thread.Settle([tab] { return !tab->Browser()->IsBusy(); });
    TFinishedPage page(tab);
    QWebEngineView &view = page.view;
    // Between the loads an empty file of the same folder: the view stays with the same renderer.
    const QString empty = page.dir.filePath(QStringLiteral("empty.html"));
    QFile(empty).open(QIODevice::WriteOnly);
    for (auto _ : state) {
        view.load(QUrl::fromLocalFile(empty));
        PostTest::WaitFor([&view] { return !view.page()->isLoading(); });
        const double start = PagePaint::Now();
        view.load(QUrl::fromLocalFile(page.path));
        state.SetIterationTime((PagePaint::PaintedAt(view.page(), Responses) - start) / 1000);
    }
}

BENCHMARK(BM_StartToFirstResponsePainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartToWholeThreadPainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FinishedPageFromFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter({{"BM_StartToFirstResponsePainted", "BM_FinishedPageFromFile"},
                             {"BM_StartToWholeThreadPainted", "BM_FinishedPageFromFile"}},
                            1.0);
    return RunWebEngineBenchmarks(argc, argv, reporter);
}
