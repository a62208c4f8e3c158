// Download speed of the HTTP job against curl: both fetch the same 20 MB file from a local nginx
// in the same run. The job also splits the body into lines, as the board types receive it.
// The last line of the output gives the job's time over curl's.

#include "RatioReporter.h"
#include "net/TavuHttp.h"
#include "support/NginxServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <memory>

namespace {

constexpr qint64 FileSize = 20 * 1024 * 1024;
const QString CurlProgram = QStringLiteral("/usr/bin/curl");

// One nginx for the whole run, serving a 20 MB file of dat lines.
NginxServer *Server()
{
    static std::unique_ptr<NginxServer> server = [] {
        auto started = std::make_unique<NginxServer>();
        const QByteArray line = "name<>sage<>2005/01/01 00:00:00 ID:abcdefgh<>a response of a thread, long enough to be typical <br> second line<>\n";
        QByteArray body;
        body.reserve(FileSize + line.size());
        while (body.size() < FileSize)
            body += line;
        started->WriteFile(QStringLiteral("big.dat"), body);
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

void BM_TavuHttp(benchmark::State &state)
{
    if (!Ready(state))
        return;
    qint64 bytes = 0;
    for (auto _ : state) {
        TTavuHttp job;
        qint64 lines = 0;
        job.URL = Server()->Url(QStringLiteral("/big.dat"));
        job.OnLine = [&lines](TTavuHttp *, void *, const QByteArray &, qint64, qint64) { ++lines; };
        job.Get(true);
        if (job.StatusCode() != 200) {
            state.SkipWithError("the job did not get the file");
            return;
        }
        bytes += job.Received();
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
        curl.start(CurlProgram, {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                 Server()->Url(QStringLiteral("/big.dat"))});
        if (!curl.waitForFinished(60000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * FileSize);
}

}  // namespace

BENCHMARK(BM_TavuHttp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Curl)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter("BM_TavuHttp", "BM_Curl", 1.5);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
