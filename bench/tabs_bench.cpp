// Thread tabs in the background give up their page. Two figures, each beside its floor in one run:
// - a tab coming back: from its activation until its page holds the 1000 responses again, scrolled
//   to where it was, and has drawn them (its last frame is shown meanwhile), against loading the
//   same finished page from a file in the same engine;
// - memory: the proportional set size (PSS) of the program alone and with every process it
//   started, with 1, 10 and 30 tabs of 1000 responses open, and the number of those processes; the
//   floor is one tab.
// Run headless (QT_QPA_PLATFORM=offscreen), or on an X server (xcb) as users do.
#include "FinishedPage.h"
#include "WebEngineBenchMain.h"
#include "window/PostTestEnv.h"
#include "render/TavuBrowser.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

constexpr int Responses = 1000;

QString KeyOf(int i)
{
    return QStringLiteral("1%1").arg(i, 9, 10, QLatin1Char('0'));
}

// The main window on the board server with a tab for each of `tabs` threads, opened in turn.
struct TOpenTabs {
    TPostWindowEnv env;
    QList<PostTest::ItemRef *> items;

    explicit TOpenTabs(int tabs)
    {
        env.ShowWindow();   // the tabs paint as a user's do
        for (int i = 1; i <= tabs; ++i) {
            PostTest::AddThread(env.server, PostTest::News, KeyOf(i), Responses);
            auto *item = new TThreadItem;
            item->SetLocation(env.site->SITEID, PostTest::News, KeyOf(i), QString());
            item->DownloadRequest = true;
            items << new PostTest::ItemRef(item);
            env.Window()->OpenThread(item, false, true, true, 0, false, QString());
            Settle([this] { return !env.Window()->Tabs().Browsers().first()->Browser()->IsBusy(); });
        }
    }
    ~TOpenTabs() { qDeleteAll(items); }

    void Settle(const std::function<bool()> &more)
    {
        if (!PostTest::WaitFor([&] { return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0 && more(); },
                               120000))
            qFatal("the tabs did not settle");
    }
};

// Proportional set size in MB of this process alone and of it with every process it started, and
// the number of those processes.
struct TTreeMemory {
    double Own = 0;
    double Tree = 0;
    int Processes = 0;
};

// -1 when the process has ended meanwhile.
double PssOf(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

TTreeMemory ProcessTreeMemory()
{
    QMap<qint64, qint64> parents;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (entry.toLongLong() > 0 && stat.open(QIODevice::ReadOnly)) {
            const QByteArray fields = stat.readAll();
            const QList<QByteArray> after = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
            if (after.value(0) != "Z")
                parents[entry.toLongLong()] = after.value(1).toLongLong();
        }
    }
    const qint64 self = QCoreApplication::applicationPid();
    TTreeMemory memory;
    memory.Own = PssOf(self);
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        qint64 pid = it.key();
        for (int hop = 0; hop < 10 && pid > 1 && pid != self; ++hop)
            pid = parents.value(pid);
        const double pss = pid == self ? PssOf(it.key()) : -1;
        if (pss < 0)
            continue;
        memory.Tree += pss;
        ++memory.Processes;
    }
    return memory;
}

void BM_TabsOpen(benchmark::State &state)
{
    TOpenTabs tabs(int(state.range(0)));
    TTreeMemory memory;
    for (auto _ : state) {
        // What the engine frees for the pages given up goes once their processes have ended: the
        // bench gives them two seconds.
        PostTest::WaitFor([] { return false; }, 2000);
        memory = ProcessTreeMemory();
    }
    state.counters["PSS_MB"] = memory.Tree;
    state.counters["own_PSS_MB"] = memory.Own;
    state.counters["processes"] = memory.Processes;
}

void BM_TabComesBack(benchmark::State &state)
{
    TOpenTabs tabs(4);
    TVarneloWindow *window = tabs.env.Window();
    TTavuBrowser *first = window->Tabs().Browsers().last();
    double shown = 0;   // ms until the window may paint again, the tab's last frame in front
    for (auto _ : state) {
        // The first tab gives up its page again behind the three others.
        if (!first->PageGivenUp()) {
            for (int i = 0; i < 3; ++i)
                window->Tabs().ShowBrowserTab(window->Tabs().Browsers().last(), false);
        }
        tabs.Settle([first] { return first->PageGivenUp(); });
        QElapsedTimer clock;
        clock.start();
        window->Tabs().ShowBrowserTab(first, false);
        shown += clock.nsecsElapsed() / 1e6;
        tabs.Settle([first] { return !first->Browser()->IsBusy() && !first->IsCovered(); });
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    state.counters["shown_ms"] = shown / double(state.iterations());
}

// The floor: the finished page of the same thread loaded from a file into a view of the same engine.
void BM_FinishedPageFromFile(benchmark::State &state)
{
    TOpenTabs tabs(1);
    TTavuBrowser *tab = tabs.env.Window()->Tabs().Browsers().first();
    TFinishedPage page(tab);
    QWebEngineView &view = page.view;
    for (auto _ : state) {
        bool loaded = false;
        const auto connection = QObject::connect(view.page(), &QWebEnginePage::loadFinished, [&loaded] { loaded = true; });
        QElapsedTimer clock;
        clock.start();
        view.load(QUrl::fromLocalFile(page.path));
        if (!PostTest::WaitFor([&loaded] { return loaded; }, 120000))
            qFatal("the page did not load");
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        QObject::disconnect(connection);
    }
}

BENCHMARK(BM_TabComesBack)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FinishedPageFromFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TabsOpen)->Arg(1)->Arg(10)->Arg(30)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter("BM_TabComesBack", "BM_FinishedPageFromFile", 1.0);
    return RunWebEngineBenchmarks(argc, argv, reporter);
}
