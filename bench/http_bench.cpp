// Download speed of the HTTP job against curl: both fetch the same files from a local nginx in the
// same run, plain and gzip-encoded (nginx sends a stored .gz as it is), of 2 and 50 MB. The job
// also splits the body into lines, as the board types receive it. curl's figure is its own transfer
// time (-w %{time_total}), so its process start is not in the floor; the job's is the time from the
// request to its end. The last lines of the output give the job's time over curl's for each body.
//
// BM_SubjectListMemory: the memory a 100 MB subject.txt (distinct titles, about 1.4 million threads)
// takes at its peak while a board type lists and stores it, as a multiple of the file's size
// (counter "peak_x"): /0 lets the listed threads go as they come, /1 keeps them all as thread items
// in a thread list. BM_SubjectTabMemory downloads and lists it into a thread-list document as a
// board tab does, in save mode, with the counts of the previous listing read first (the board was
// listed before), the first page prepared as it arrives and the listing stored at the end.
// BM_SubjectFileMemory reads the same file whole, the floor of 1.

#include "RatioReporter.h"
#include "boards/BoardTypes.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"
#include "net/TavuHttp.h"
#include "render/TavuListDoc.h"
#include "support/NginxServer.h"
#include "support/TempDataRoot.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <malloc.h>
#include <zlib.h>

#include <memory>

namespace {

const QString CurlProgram = QStringLiteral("/usr/bin/curl");

QByteArray DatLines(qint64 size)
{
    const QByteArray line = "name<>sage<>2005/01/01 00:00:00 ID:abcdefgh<>a response of a thread, long enough to be typical <br> second line<>\n";
    QByteArray body;
    body.reserve(size + line.size());
    for (int n = 0; body.size() < size; ++n)
        body += QByteArray::number(n) + line;   // not all alike, so gzip has work to do
    return body;
}

constexpr qint64 SubjectBytes = 100 * 1024 * 1024;

QByteArray SubjectLines(qint64 size)
{
    const QByteArray title = jconvert::UnicodeToSjis(QStringLiteral("【速報】ベンチマーク用のスレッドタイトル"));
    QByteArray body;
    body.reserve(size + 200);
    for (qint64 key = 1000000000; body.size() < size; ++key)
        body += QByteArray::number(key) + ".dat<>" + title + QByteArray::number(key) + " (" + QByteArray::number(key % 1000) + ")\n";
    return body;
}

// Resident memory of the process in bytes: now ("VmRSS") or its peak since the last reset ("VmHWM").
qint64 MemoryKb(const char *which)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(which))
            return line.mid(qsizetype(strlen(which)) + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

// Starts a new peak at the present resident size, once the heap has given back what is free.
void ResetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

QByteArray Gzip(const QByteArray &data)
{
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&zs, uLong(data.size())) + 32), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}

// One nginx for the whole run, serving /gzs/<mb>.dat and its .gz for each size.
NginxServer *Server()
{
    static std::unique_ptr<NginxServer> server = [] {
        auto started = std::make_unique<NginxServer>();
        for (const int mb : {2, 50}) {
            const QByteArray body = DatLines(qint64(mb) * 1024 * 1024);
            started->WriteFile(QStringLiteral("gzs/%1.dat").arg(mb), body);
            started->WriteFile(QStringLiteral("gzs/%1.dat.gz").arg(mb), Gzip(body));
        }
        started->WriteFile(QStringLiteral("news/subject.txt"), SubjectLines(SubjectBytes));
        return started;
    }();
    return server.get();
}

bool Ready(benchmark::State &state)
{
    if (!NginxServer::Installed()) {
        state.SkipWithError("nginx is not installed");
        return false;
    }
    if (!Server()->IsRunning()) {
        state.SkipWithError(Server()->Error().toStdString().c_str());
        return false;
    }
    return true;
}

QString FileUrl(const benchmark::State &state)
{
    return Server()->Url(QStringLiteral("/gzs/%1.dat").arg(state.range(0)));
}

// Arguments: size in MB, gzip (1) or plain (0).
void BM_TavuHttp(benchmark::State &state)
{
    if (!Ready(state))
        return;
    qint64 bytes = 0;
    for (auto _ : state) {
        TTavuHttp job;
        job.Limits = ConfiguredLimits(TRequestKind::Dat);
        job.AcceptGzip = state.range(1) != 0;
        qint64 lines = 0;
        job.URL = FileUrl(state);
        job.OnLine = [&lines](TTavuHttp *, void *, const QByteArray &, qint64, qint64) { ++lines; };
        QElapsedTimer timer;
        timer.start();
        job.Get(true);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (job.StatusCode() != 200 || lines == 0) {
            state.SkipWithError("the job did not get the file");
            return;
        }
        bytes += state.range(0) * 1024 * 1024;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(bytes);
}

void BM_Curl(benchmark::State &state)
{
    if (!Ready(state))
        return;
    if (!QFileInfo(CurlProgram).isExecutable()) {
        state.SkipWithError("curl is not installed");
        return;
    }
    for (auto _ : state) {
        QProcess curl;
        QStringList args{QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-w"),
                         QStringLiteral("%{time_total}")};
        if (state.range(1) != 0)
            args << QStringLiteral("--compressed");
        curl.start(CurlProgram, args << FileUrl(state));
        if (!curl.waitForFinished(60000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed");
            return;
        }
        state.SetIterationTime(curl.readAllStandardOutput().trimmed().toDouble());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * 1024 * 1024);
}

// A registry with one site whose board "news" lives on the nginx, as the start-up makes it.
struct BoardEnv {
    TempDataRoot root{true};
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> registry;
    TBoard *board = nullptr;

    BoardEnv()
    {
        const QString host = Server()->Url(QString()).mid(int(strlen("http://")));
        root.Write(QStringLiteral("config/sitelist.ini"), "[SITE]\r\nCOUNT=1\r\nSITE1=bench\r\n");
        root.Write(QStringLiteral("config/site/bench/site.ini"), "[SITE]\r\nSITEID=bench\r\nNAME=bench\r\nBBSTYPE=2chscript\r\n");
        root.Write(QStringLiteral("config/site/bench/board.dat"), QStringLiteral("2\r\nbench\r\n\t%1\tnews\tnews\r\n").arg(host).toLatin1());
        config = std::make_unique<TTavuConfig>();
        registry = std::make_unique<TTavuEnviron>();
        TavuConfig = config.get();
        TavuEnviron = registry.get();
        BoardTypes::Install(registry.get());
        registry->CreateBBSList();
        registry->LoadSites();
        board = registry->SiteList()->FindBySiteID(QStringLiteral("bench"))->Boards->FindByID(QStringLiteral("news"));
    }
    ~BoardEnv()
    {
        TavuEnviron = nullptr;
        TavuConfig = nullptr;
    }
};

void BM_SubjectListMemory(benchmark::State &state)
{
    if (!Ready(state))
        return;
    BoardEnv env;
    qint64 peak = 0;
    qint64 listed = 0;
    for (auto _ : state) {
        TThreadListDownloader job;
        job.BBS = env.board->BBS;
        job.Site = env.board->Site;
        job.Board = env.board;
        TThreadItemList kept;
        job.OnThreadItem = [&](TThreadListDownloader *, TThreadItem *item) {
            ++listed;
            if (state.range(0) != 0)
                kept.Add(item);
        };
        bool failed = true;
        job.OnDone = [&failed](TThreadListDownloader *, bool hasFailed) { failed = hasFailed; };
        ResetPeak();
        const qint64 before = MemoryKb("VmRSS:");
        env.board->BBS->DownloadThreadList(&job, true, true);
        peak = qMax(peak, MemoryKb("VmHWM:") - before);
        if (failed) {
            state.SkipWithError("the list was not fetched");
            return;
        }
    }
    state.counters["peak_x"] = double(peak) / double(SubjectBytes);
    state.counters["threads"] = double(listed) / double(state.iterations());
}

// The window's thread-list flow for the board's listing, into the document.
bool ListIntoTab(BoardEnv &env, TTavuListDoc &doc)
{
    const int firstPage = TavuConfig->THREADLISTCOUNT;
    doc.ClearItems();
    doc.ItemLimit = firstPage;
    doc.LoadSubjectDat();
    doc.LoadInfFileList();
    TThreadListDownloader job;
    job.BBS = env.board->BBS;
    job.Site = env.board->Site;
    job.Board = env.board;
    job.Items = doc.Items();
    job.OnThreadItem = [&doc](TThreadListDownloader *, TThreadItem *item) { doc.AddListed(item); };
    job.OnProgress = [&doc, firstPage](TThreadListDownloader *, TThreadItem *item, int, int) {
        if (doc.Items()->Count() >= firstPage + 1)
            return false;
        if (item)
            doc.UpdateList(item, true);
        return true;
    };
    bool failed = true;
    job.OnDone = [&failed](TThreadListDownloader *, bool hasFailed) { failed = hasFailed; };
    env.board->BBS->DownloadThreadList(&job, true, true);
    if (failed)
        return false;
    doc.SaveSubjectDat();
    doc.SaveSubjectTxt();
    doc.SetDisplayCount(firstPage);
    return true;
}

void BM_SubjectTabMemory(benchmark::State &state)
{
    if (!Ready(state))
        return;
    BoardEnv env;
    TavuEnviron->SetCached(true, true);
    TTavuListDoc doc;
    doc.Site = env.board->Site;
    doc.BoardID = env.board->ID;
    if (!ListIntoTab(env, doc)) {   // the listing before, whose counts the measured one reads
        state.SkipWithError("the list was not fetched");
        return;
    }
    qint64 peak = 0;
    for (auto _ : state) {
        doc.ClearItems();
        ResetPeak();
        const qint64 before = MemoryKb("VmRSS:");
        const bool listed = ListIntoTab(env, doc);
        peak = qMax(peak, MemoryKb("VmHWM:") - before);
        if (!listed) {
            state.SkipWithError("the list was not fetched");
            return;
        }
    }
    state.counters["peak_x"] = double(peak) / double(SubjectBytes);
    state.counters["threads"] = double(doc.Items()->Count());
}

void BM_SubjectFileMemory(benchmark::State &state)
{
    if (!Ready(state))
        return;
    qint64 peak = 0;
    for (auto _ : state) {
        ResetPeak();
        const qint64 before = MemoryKb("VmRSS:");
        QFile file(Server()->Root() + QStringLiteral("news/subject.txt"));
        file.open(QIODevice::ReadOnly);
        const QByteArray whole = file.readAll();
        benchmark::DoNotOptimize(whole.size());
        peak = qMax(peak, MemoryKb("VmHWM:") - before);
    }
    state.counters["peak_x"] = double(peak) / double(SubjectBytes);
}

}  // namespace

// The tab's peak is taken first, on the heap of the program and of its own previous listing; after
// the million thread items of BM_SubjectListMemory/1 the heap is one that no window has.
BENCHMARK(BM_SubjectTabMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SubjectListMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SubjectFileMemory)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TavuHttp)->ArgsProduct({{2, 50}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Curl)->ArgsProduct({{2, 50}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<TRatioReporter::Pair> pairs;
    for (const char *body : {"2/0/", "2/1/", "50/0/", "50/1/"})
        pairs.push_back({std::string("BM_TavuHttp/") + body, std::string("BM_Curl/") + body});
    TRatioReporter reporter(pairs, 1.3);
    return RunBenchmarks(argc, argv, reporter);
}
