// Throughput of the core's thread-log parsing and thread-list sorting.
//   DatParse/n: a generated Shift_JIS log of n responses parsed into responses.
//   IconvDecode/n: the same bytes only decoded to UTF-16 by the C library's iconv, the floor
//   parsing is compared with (the last lines of the output give the ratios).
//   SortByTitle / SortByStatus: 10,000 thread items sorted by title and by status rank.

#include "core/JConvert.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <iconv.h>

#include <memory>

namespace {

QByteArray GeneratedLog(int count)
{
    QString text;
    for (int n = 1; n <= count; ++n) {
        text += QStringLiteral("名無しさん＠お腹いっぱい。<>%1<>2024/01/%2(月) 12:%3:45.67 ID:AbCdEf%4<>")
                    .arg(n % 7 == 0 ? QStringLiteral("sage") : QString())
                    .arg(1 + n % 28, 2, 10, QLatin1Char('0'))
                    .arg(n % 60, 2, 10, QLatin1Char('0'))
                    .arg(n % 100);
        for (int line = 0; line < 1 + n % 5; ++line)
            text += QStringLiteral(" &gt;&gt;%1 これは生成された本文の行です。漢字とかなとＡＳＣＩＩ text. <br> ").arg(n / 2 + 1);
        text += n == 1 ? QStringLiteral("<>ベンチマーク用のスレッド\r\n") : QStringLiteral("<>\r\n");
    }
    return jconvert::UnicodeToSjis(text);
}

void DatParse(benchmark::State &state)
{
    const QByteArray log = GeneratedLog(int(state.range(0)));
    for (auto _ : state) {
        auto list = std::make_unique<TResList>();
        list->LoadDat(log);
        benchmark::DoNotOptimize(list->Count());
        state.PauseTiming();   // freeing the responses is not parsing
        list.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * log.size());
}
BENCHMARK(DatParse)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond)->UseRealTime();

void IconvDecode(benchmark::State &state)
{
    QByteArray log = GeneratedLog(int(state.range(0)));
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == iconv_t(-1)) {
        state.SkipWithError("iconv has no CP932");
        return;
    }
    QByteArray out(log.size() * 2 + 16, Qt::Uninitialized);
    for (auto _ : state) {
        char *in = log.data();
        size_t inLeft = size_t(log.size());
        char *to = out.data();
        size_t outLeft = size_t(out.size());
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        iconv(cd, &in, &inLeft, &to, &outLeft);
        benchmark::DoNotOptimize(outLeft);
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * log.size());
}
BENCHMARK(IconvDecode)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond)->UseRealTime();

// 10,000 items with random titles, listing numbers and states.
TThreadItemList *NewListing()
{
    auto *list = new TThreadItemList;
    QRandomGenerator random(42);
    const QString syllables = QStringLiteral("あいうえおかきくけこアイウエオABCDEabcde0123");
    for (int i = 0; i < 10000; ++i) {
        auto *item = new TThreadItem;
        item->Number = i + 1;
        for (int c = 0; c < 12; ++c)
            item->TITLE += syllables.at(random.bounded(syllables.size()));
        item->IsNew = random.bounded(10) == 0;
        item->Updated = random.bounded(10) == 0;
        item->KAKOLOG = random.bounded(20) == 0;
        item->READ = random.bounded(3) == 0 ? random.bounded(1000) : 0;
        list->Add(item);
        item->Release();
    }
    return list;
}

void SortBy(benchmark::State &state, int key)
{
    TThreadItemList *list = NewListing();
    bool ascending = true;
    for (auto _ : state) {
        list->Sort(key, ascending);
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * list->Count());
    delete list;
}

void SortByTitle(benchmark::State &state) { SortBy(state, TThreadItemList::SortTitle); }
void SortByStatus(benchmark::State &state) { SortBy(state, TThreadItemList::SortStatus); }
BENCHMARK(SortByTitle)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByStatus)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::vector<TRatioReporter::Pair> pairs;
    for (const char *count : {"1000", "10000", "30000"})
        pairs.push_back({std::string("DatParse/") + count + "/", std::string("IconvDecode/") + count + "/"});
    TRatioReporter reporter(pairs, 2.0);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
