// How long an open thread takes to show 10 new responses: through the program's real update path
// (a reload of the open tab against the local board server: request, differential download, rules,
// writing, appending to the live page, queueing the log's save; a save still running when the next
// update begins is waited for inside it), against the floor: the same responses' HTML put into the
// same live page with a bare insertAdjacentHTML, run in the script world of the program's page
// helper, which checks that the HTML went in. Every measured step, of the path and of the floor
// alike, starts from a page at rest, which has drawn what the step before put into it, as a user's
// reload finds it. A second floor adds what no update can do without: the transfer of the same new
// bytes from the same server, as curl times it (its own start not counted), before the bare
// insertion. The update until the page has laid out its new responses is set against the bare
// insertion until the page has laid it out, the layout asked for alike on both sides. Threads of
// 250, 1000 and 4000 responses show whether the cost grows with the thread's length. F5 to new
// responses on screen is measured from the page for 1000 responses: from the reload until the frame
// that shows the last new response, against the same bare insertion until its frame. The update
// of 250 responses is measured again beside a board tab that lists 120,000 threads, every row's
// item made, against the same without: the list adds nothing that grows with it.
//
// The board server answers on a thread of its own, as a server elsewhere would: what the program
// does while it waits for the answer is not added to the server's time, for the update and for curl
// alike. Each end is noted when it happens (the flow's end, the page's answer), not when a poll
// finds it. Each measure is the median of five runs of ten steps. Run headless:
// QT_QPA_PLATFORM=offscreen. The last lines give the update path's time over the floor's.
#include "PagePaint.h"
#include "WebEngineBenchMain.h"
#include "window/PostTestEnv.h"
#include "core/ThreadItemList.h"
#include "flows/ThreadController.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int NewCount = 10;
constexpr int Repeats = 5;

QString KeyOf(int thread)
{
    return QString::number(1000000000 + thread);
}

// Asks the page to lay itself out if it holds the element of the id; done runs when it has, with
// false when the page does not hold it yet and was left as it was.
void AskLayout(QWebEnginePage *page, const QString &id, const std::function<void(bool)> &done)
{
    page->runJavaScript(QStringLiteral("document.getElementById('%1') ? document.body.offsetHeight : -1").arg(id),
                        QWebEngineScript::ApplicationWorld,
                        [done](const QVariant &height) { done(height.toInt() >= 0); });
}

// The board server on a thread of its own for as long as this lives; what the bench asks of it
// runs there.
class TServerThread {
public:
    explicit TServerThread(BoardServer &server) : server(server)
    {
        thread.start();
        server.moveToThread(&thread);
    }
    ~TServerThread()
    {
        QThread *home = QCoreApplication::instance()->thread();
        Run([this, home] { server.moveToThread(home); });
        thread.quit();
        thread.wait();
    }
    template <typename Work>
    void Run(Work work)
    {
        QMetaObject::invokeMethod(&server, work, Qt::BlockingQueuedConnection);
    }

private:
    BoardServer &server;
    QThread thread;
};

// The main window on the board server with an open thread of the given length.
struct TOpenThread {
    TPostWindowEnv env{[](TWindowEnv &e) { e.config->OPENNEWBROWSER = false; }};   // one tab
    int responses;
    int threads = 0;
    QString key;
    std::optional<PostTest::ItemRef> item;
    TTavuBrowser *tab = nullptr;
    QString datUrl;
    std::optional<TServerThread> serverThread;

    // updated: the thread was updated once after its first read.
    explicit TOpenThread(int responses, bool updated = true) : responses(responses)
    {
        env.Window()->resize(1200, 900);
        env.Window()->show();   // a page paints only in a window shown
        serverThread.emplace(env.server);
        ReadNewThread();
        // A thread being read was updated before: only the responses of its last update carry the
        // new mark (a first read marks every response, and the first update takes all those off).
        if (updated) {
            Grow();
            Reload();
            Settle();
        }
    }

    // A thread of the same length that was never read opens in the tab, every response marked new.
    void ReadNewThread()
    {
        key = KeyOf(++threads);
        serverThread->Run([this] { PostTest::AddThread(env.server, PostTest::News, key, responses); });
        datUrl = env.server.Url(QStringLiteral("/news/dat/") + key + QStringLiteral(".dat"));
        item.emplace(new TThreadItem);
        (*item)->SetLocation(env.site->SITEID, PostTest::News, key, QString());
        (*item)->DownloadRequest = true;
        Reload();
        Settle();
        tab = env.Window()->Tabs().Browsers().first();
    }

    void Reload() { env.Window()->OpenThread(item->get(), true, false, true, 0, false, QString()); }

    // Adds threads to the thread's board and shows its listing in a board tab, sorted, which makes
    // the item of every row, the thread's own row among them.
    void ListBoard(int threads)
    {
        serverThread->Run([this, threads] {
            for (int i = 1; i <= threads; ++i)
                env.server.AddThread(PostTest::News, QString::number(2000000000 + i), QStringLiteral("スレ%1").arg(i));
        });
        env.Window()->ListPane().StartThreadListDownload(env.Board(PostTest::News), false, false);
        Settle();
        TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
        if (!doc || doc->Items()->Count() <= threads)
            qFatal("the board was not listed");
        doc->Items()->Sort(TThreadItemList::SortTitle, true);
    }

    void Settle()
    {
        if (!PostTest::WaitFor(
                [this] {
                    return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0
                           && !env.Window()->Tabs().Browsers().first()->Browser()->IsBusy();
                },
                120000))
            qFatal("the thread did not settle");
    }

    // Reloads the open thread and gives the seconds until the update has settled: the flow has
    // ended and the page has taken what was written to it, whichever comes last. With laidOut the
    // page's part ends once the page has also laid out the last new response, asked for as soon as
    // it took it, as the floor asks.
    double Update(bool laidOut = false)
    {
        const QString last = QStringLiteral("ID%1").arg(Dat().count('\n'));
        QElapsedTimer clock;
        qint64 ended = 0;
        auto pageDone = std::make_shared<qint64>(0);
        QObject stamps;
        QObject::connect(env.Window()->findChild<TThreadController *>(), &TThreadController::Ended, &stamps, [&] {
            if (env.Window()->BusyCount() == 0)
                ended = clock.nsecsElapsed();
        });
        QObject::connect(tab->Browser(), &TEmbeddedWB::DocumentUpdated, &stamps, [&, pageDone] {
            *pageDone = 0;
            if (!laidOut) {
                *pageDone = clock.nsecsElapsed();
                return;
            }
            AskLayout(tab->Browser()->page(), last, [clock, pageDone](bool laid) {
                if (laid)
                    *pageDone = clock.nsecsElapsed();
            });
        });
        clock.start();
        Reload();
        Settle();
        if (!PostTest::WaitFor([pageDone] { return *pageDone > 0; }, 120000))
            qFatal("the page did not take the update");
        return std::max(ended, *pageDone) / 1e9;
    }

    void Grow()
    {
        serverThread->Run([this] {
            for (int i = 0; i < NewCount; ++i)
                env.server.AppendRes(PostTest::News, key, QStringLiteral("名無し"), QString(),
                                     QStringLiteral("新着 &gt;&gt;%1 の本文<br>二行目").arg(i + 1));
        });
    }

    QByteArray Dat()
    {
        QByteArray bytes;
        serverThread->Run([this, &bytes] { bytes = env.server.DatBytes(PostTest::News, key); });
        return bytes;
    }
};

void BM_UpdateThroughReload(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    for (auto _ : state) {
        thread.Grow();
        PagePaint::WaitForRest(thread.tab->Browser()->page());
        state.SetIterationTime(thread.Update());
    }
    if (thread.tab->ResList()->Count() != state.range(0) + NewCount * (1 + int(state.iterations())))
        state.SkipWithError("the update did not bring each new response once");
}

// The update until the page has laid out the new responses, against the floor with a layout.
void BM_UpdateLaidOut(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    for (auto _ : state) {
        thread.Grow();
        PagePaint::WaitForRest(thread.tab->Browser()->page());
        state.SetIterationTime(thread.Update(true));
    }
}

// The first update after a thread was read for the first time, until the page has laid out the new
// responses: the tab (reused, OPENNEWBROWSER being off) reads a thread of the same length anew
// before each step.
void BM_FirstUpdateLaidOut(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)), false);
    for (auto _ : state) {
        thread.Grow();
        PagePaint::WaitForRest(thread.tab->Browser()->page());
        state.SetIterationTime(thread.Update(true));
        state.PauseTiming();
        thread.ReadNewThread();
        state.ResumeTiming();
    }
}

// The same beside a board tab that lists 120,000 threads, every row's item made: what the window
// does of the list at each update (the thread's rows, the commands) does not grow with it.
void BM_UpdateLaidOutBesideBigList(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    thread.ListBoard(120000);
    for (auto _ : state) {
        thread.Grow();
        PagePaint::WaitForRest(thread.tab->Browser()->page());
        state.SetIterationTime(thread.Update(true));
    }
}

// An update until the frame that shows its last new response is drawn. A first update reads the
// thread anew (as never read) before each step.
void TimeUpdateToPaint(benchmark::State &state, bool first)
{
    TOpenThread thread(int(state.range(0)), !first);
    QWebEnginePage *page = thread.tab->Browser()->page();
    for (auto _ : state) {
        thread.Grow();
        PagePaint::WaitForRest(page);
        PagePaint::WatchPaint(page, QStringLiteral("ID%1").arg(thread.Dat().count('\n')));
        const double start = PagePaint::Now();
        thread.Reload();
        state.SetIterationTime((PagePaint::WatchedPaint(page) - start) / 1000);
        state.PauseTiming();
        thread.Settle();
        if (first)
            thread.ReadNewThread();
        state.ResumeTiming();
    }
}

void BM_UpdateToPaint(benchmark::State &state)
{
    TimeUpdateToPaint(state, false);
}

// The first update after a thread was read for the first time: what the reader sees; the marks away
// from the view may still be going.
void BM_FirstUpdateToPaint(benchmark::State &state)
{
    TimeUpdateToPaint(state, true);
}

// The HTML of the last ten responses, as the tab writes them, as a script's text literal.
QString LastResponsesLiteral(TTavuBrowser *tab)
{
    TResList *list = tab->ResList();
    tab->BeginChunk();
    for (int i = list->Count() - NewCount; i < list->Count(); ++i)
        tab->AppendRes(list->Get(i));
    const QString html = tab->EndChunk();
    return QString::fromUtf8(QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

// The floor's script: one call that inserts the HTML at the end of the page and says whether it did.
QString BareInsertionScript(TTavuBrowser *tab)
{
    return QStringLiteral("(function (html) { const last = document.body.lastChild;"
                          " document.body.insertAdjacentHTML('beforeend', html);"
                          " return document.body.lastChild !== last; })(%1)")
        .arg(LastResponsesLiteral(tab));
}

// Runs the script in the page and gives the seconds until its answer came, or, given an id the page
// holds once the script has run, until the page has laid out what it took, asked for as soon as
// the answer came; nullopt when it inserted nothing.
std::optional<double> InsertionSeconds(QWebEnginePage *page, const QString &script, const QString &laidOutId = {})
{
    const bool laidOut = !laidOutId.isEmpty();
    QElapsedTimer clock;
    clock.start();
    auto inserted = std::make_shared<std::optional<bool>>();
    auto answered = std::make_shared<qint64>(0);
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [=](const QVariant &result) {
        *inserted = result.toBool();
        if (laidOut)
            AskLayout(page, laidOutId, [clock, answered](bool) { *answered = clock.nsecsElapsed(); });
        else
            *answered = clock.nsecsElapsed();
    });
    if (!PostTest::WaitFor([answered] { return *answered > 0; }, 120000) || !**inserted)
        return std::nullopt;
    return *answered / 1e9;
}

// The floor: the bare insertion; with a second argument of 1, until the page has laid it out.
void BM_BareInsertion(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    const QString script = BareInsertionScript(thread.tab);
    QWebEnginePage *page = thread.tab->Browser()->page();
    const QString laidOutId =
        state.range(1) != 0 ? QStringLiteral("ID%1").arg(thread.tab->ResList()->Count()) : QString();
    for (auto _ : state) {
        PagePaint::WaitForRest(page);
        const std::optional<double> insertion = InsertionSeconds(page, script, laidOutId);
        if (!insertion) {
            state.SkipWithError("the page did not take the HTML");
            break;
        }
        state.SetIterationTime(*insertion);
    }
}

// How long curl takes to fetch the bytes of the dat from offset on, as an update asks for them;
// nullopt when it failed.
std::optional<double> CurlTransferSeconds(const QString &url, qsizetype offset)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                        QStringLiteral("-H"), QStringLiteral("Range: bytes=%1-").arg(offset),
                                        QStringLiteral("-w"), QStringLiteral("%{http_code} %{time_total}"), url});
    if (!PostTest::WaitFor([&curl] { return curl.state() == QProcess::NotRunning; }, 120000))
        return std::nullopt;
    const QStringList reply = QString::fromLatin1(curl.readAllStandardOutput()).split(QLatin1Char(' '));
    if (curl.exitCode() != 0 || reply.value(0) != QLatin1String("206"))
        return std::nullopt;
    return reply.value(1).toDouble();
}

// The floor with the transfer: curl fetches the 10 new responses' bytes, then the bare insertion.
void BM_TransferAndInsertion(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    const QString script = BareInsertionScript(thread.tab);
    const QString url = thread.datUrl;
    QWebEnginePage *page = thread.tab->Browser()->page();
    for (auto _ : state) {
        const qsizetype stored = thread.Dat().size();
        thread.Grow();
        PagePaint::WaitForRest(page);
        const std::optional<double> transfer = CurlTransferSeconds(url, stored);
        const std::optional<double> insertion = transfer ? InsertionSeconds(page, script) : std::nullopt;
        if (!insertion) {
            state.SkipWithError(transfer ? "the page did not take the HTML" : "curl did not get the new bytes");
            break;
        }
        state.SetIterationTime(*transfer + *insertion);
    }
}

// The floor of F5 to new responses on screen: the bare insertion until the frame that shows it.
void BM_BareInsertionToPaint(benchmark::State &state)
{
    TOpenThread thread(int(state.range(0)));
    const QString script = QStringLiteral("(function (html) { window.paintedAt = 0;"
                                          " document.body.insertAdjacentHTML('beforeend', html);"
                                          " requestAnimationFrame(function () { window.paintedAt = performance.timeOrigin + performance.now(); });"
                                          " return true; })(%1)")
                               .arg(LastResponsesLiteral(thread.tab));
    QWebEnginePage *page = thread.tab->Browser()->page();
    for (auto _ : state) {
        PagePaint::WaitForRest(page);
        const double start = PagePaint::Now();
        page->runJavaScript(script, PagePaint::World);
        state.SetIterationTime((PagePaint::WatchedPaint(page) - start) / 1000);
    }
}

// Ten iterations a run, each run repeated on a window of its own; the median run counts.
void Measured(benchmark::internal::Benchmark *bench)
{
    bench->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(Repeats)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FirstUpdateLaidOut)->Arg(100)->Arg(1000)->Apply(Measured);
BENCHMARK(BM_UpdateThroughReload)->Arg(250)->Arg(1000)->Arg(4000)->Apply(Measured);
BENCHMARK(BM_TransferAndInsertion)->Arg(250)->Arg(1000)->Arg(4000)->Apply(Measured);
BENCHMARK(BM_BareInsertion)->ArgsProduct({{250, 1000, 4000}, {0}})->Apply(Measured);
BENCHMARK(BM_UpdateLaidOut)->Arg(100)->Arg(250)->Arg(1000)->Arg(4000)->Apply(Measured);
BENCHMARK(BM_UpdateLaidOutBesideBigList)->Arg(250)->Apply(Measured);
BENCHMARK(BM_BareInsertion)->ArgsProduct({{100, 250, 1000, 4000}, {1}})->Apply(Measured);
BENCHMARK(BM_UpdateToPaint)->Arg(1000)->Apply(Measured);
BENCHMARK(BM_FirstUpdateToPaint)->Arg(1000)->Apply(Measured);
BENCHMARK(BM_BareInsertionToPaint)->Arg(1000)->Apply(Measured);

}  // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter({{"BM_FirstUpdateLaidOut/100/", "BM_BareInsertion/100/1/"},
                             {"BM_FirstUpdateLaidOut/1000/", "BM_BareInsertion/1000/1/"},
                             {"BM_FirstUpdateLaidOut/100/", "BM_UpdateLaidOut/100/", 1.2},
                             {"BM_FirstUpdateLaidOut/1000/", "BM_UpdateLaidOut/1000/", 1.2},
                             {"BM_UpdateLaidOut/100/", "BM_BareInsertion/100/1/"},
                             {"BM_UpdateLaidOut/250/", "BM_BareInsertion/250/1/"},
                             {"BM_UpdateLaidOut/1000/", "BM_BareInsertion/1000/1/"},
                             {"BM_UpdateLaidOut/4000/", "BM_BareInsertion/4000/1/"},
                             {"BM_UpdateLaidOutBesideBigList/250/", "BM_UpdateLaidOut/250/", 1.2},
                             {"BM_UpdateThroughReload/250/", "BM_BareInsertion/250/0/"},
                             {"BM_UpdateThroughReload/1000/", "BM_BareInsertion/1000/0/"},
                             {"BM_UpdateThroughReload/4000/", "BM_BareInsertion/4000/0/"},
                             {"BM_UpdateThroughReload/250/", "BM_TransferAndInsertion/250/"},
                             {"BM_UpdateThroughReload/1000/", "BM_TransferAndInsertion/1000/"},
                             {"BM_UpdateThroughReload/4000/", "BM_TransferAndInsertion/4000/"},
                             {"BM_UpdateToPaint/1000/", "BM_BareInsertionToPaint/1000/"},
                             {"BM_FirstUpdateToPaint/1000/", "BM_BareInsertionToPaint/1000/"},
                             {"BM_FirstUpdateToPaint/1000/", "BM_UpdateToPaint/1000/", 1.2}},
                            1.5);
    return RunWebEngineBenchmarks(argc, argv, reporter);
}
