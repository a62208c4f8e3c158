// The log search over a generated log tree of 5,000 threads, side by side with grep counting the
// same term in the same files (the floor: reading the bytes and finding the term, nothing more).
//   BM_LogSearch: LogSearch::Search for one log term over the folder.
//   BM_GrepCount: "grep -r -c -i --include=*.dat <term> <folder>" as a child process (case ignored,
//   as the log search ignores it).
// One term, planted in one thread in a hundred; the files are in the page cache for both after the
// first run.

#include "RatioReporter.h"

#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "services/LogSearch.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const int Threads = 5000;
const int LinesPerThread = 60;
const QString Term = QStringLiteral("needle");

// The tree, made once: one board folder holding the logs.
const QString &LogFolder()
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString path = dir.path() + QStringLiteral("/news/");
        for (int t = 0; t < Threads; ++t) {
            QString log;
            for (int n = 1; n <= LinesPerThread; ++n) {
                log += QStringLiteral("名無しさん<>sage<>2024/01/%1 12:%2:45 ID:AbCd%3<>").arg(1 + n % 28).arg(n % 60).arg(t % 100);
                log += QStringLiteral("これは生成された本文の行です。漢字とかなとＡＳＣＩＩ text %1 <br> 二行目です").arg(n);
                if (t % 100 == 0 && n == LinesPerThread / 2)
                    log += QStringLiteral(" a NEEDLE in the log");
                log += n == 1 ? QStringLiteral("<>スレッド%1\r\n").arg(t) : QStringLiteral("<>\r\n");
            }
            FileUtil::WriteFileAtomic(path + QString::number(1000000000 + t) + QStringLiteral(".dat"),
                                      jconvert::UnicodeToSjis(log));
        }
        return path;
    }();
    return folder;
}

void BM_LogSearch(benchmark::State &state)
{
    LogSearch::TQuery query;
    query.LogTerms = {Term};
    const QList<LogSearch::TScope> scopes = {{LogFolder(), 0}};
    for (auto _ : state) {
        const QList<LogSearch::THit> hits = LogSearch::Search(scopes, query, {});
        if (hits.size() != Threads / 100)
            state.SkipWithError("wrong number of hits");
        benchmark::DoNotOptimize(hits.size());
    }
}
BENCHMARK(BM_LogSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GrepCount(benchmark::State &state)
{
    const QString folder = LogFolder();
    for (auto _ : state) {
        QProcess grep;
        grep.start(QStringLiteral("grep"), {QStringLiteral("-r"), QStringLiteral("-c"), QStringLiteral("-i"),
                                            QStringLiteral("--include=*.dat"), Term, folder});
        grep.waitForFinished(-1);
        benchmark::DoNotOptimize(grep.readAllStandardOutput().size());
    }
}
BENCHMARK(BM_GrepCount)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    LogFolder();   // made before either is timed
    TRatioReporter reporter("BM_LogSearch", "BM_GrepCount", 3.0);
    return RunBenchmarks(argc, argv, reporter);
}
