// Download speed of the HTTP job against curl: both fetch the same files from a local nginx in the
// same run, plain and gzip-encoded (nginx sends a stored .gz as it is), of 2 and 50 MB. The job
// also splits the body into lines, as the board types receive it. curl's figure is its own transfer
// time (-w %{time_total}), so its process start is not in the floor; the job's is the time from the
// request to its end. The last lines of the output give the job's time over curl's for each body.

#include "RatioReporter.h"
#include "net/TavuHttp.h"
#include "support/NginxServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

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

}  // namespace

BENCHMARK(BM_TavuHttp)->ArgsProduct({{2, 50}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Curl)->ArgsProduct({{2, 50}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::vector<TRatioReporter::Pair> pairs;
    for (const char *body : {"2/0/", "2/1/", "50/0/", "50/1/"})
        pairs.push_back({std::string("BM_TavuHttp/") + body, std::string("BM_Curl/") + body});
    TRatioReporter reporter(pairs, 1.3);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
