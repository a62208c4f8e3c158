// Reading a 2channel.brd for its import: 5,000 and 50,000 boards, each matched against the sites
// and against a user site that already holds as many boards, next to the floor of reading and
// splitting the same file. The import's time per board stays flat as the list grows (the last
// lines give the import over the floor for each size).
// Ticking and unticking every row of the import dialog (すべて選択, すべて解除) for the same sizes,
// next to the floor of reading every row's tick: the ratio stays the same as the rows grow tenfold.
// Run by hand: bench_brd_bench

#include "RatioReporter.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "core/ThreadTestEnv.h"
#include "services/KatjuBoardList.h"
#include "settings/KatjuBoardDialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>

namespace {

// A brd of `count` boards in categories of 100, and a user site that knows each of them.
QString WriteBrd(ThreadTestEnv &env, int count)
{
    QString text = QStringLiteral("2\r\n");
    for (int i = 0; i < count; ++i) {
        if (i % 100 == 0)
            text += QStringLiteral("カテゴリ%1\t0\r\n").arg(i / 100);
        text += QStringLiteral("\thost%1.example\tboard%2\t板%2\r\n").arg(i % 50).arg(i);
    }
    for (int i = env.site->Boards->Count(); i < count; ++i) {
        auto *board = new TBoard;
        board->ID = QStringLiteral("board%1").arg(i);
        board->HostPath = QStringLiteral("host%1.example").arg(i % 50);
        board->Site = env.site;
        env.site->Boards->Add(board);
    }
    const QString path = env.root.Path() + QStringLiteral("2channel.brd");
    FileUtil::WriteFileAtomic(path, jconvert::UnicodeToSjis(text));
    return path;
}

void BM_LoadBrd(benchmark::State &state)
{
    ThreadTestEnv env;
    const QString path = WriteBrd(env, int(state.range(0)));
    QList<TKatjuBoard> boards;
    for (auto _ : state)
        KatjuBoardList::Load(path, *TavuEnviron->SiteList(), env.site, boards);
    state.counters["registered"] = double(std::count_if(boards.begin(), boards.end(), [](const TKatjuBoard &b) { return b.Registered; }));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadBrd)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same file read, decoded and split into its fields.
void BM_ReadBrd(benchmark::State &state)
{
    ThreadTestEnv env;
    const QString path = WriteBrd(env, int(state.range(0)));
    for (auto _ : state) {
        qsizetype fields = 0;
        for (const QString &line : jconvert::SjisToUnicode(FileUtil::ReadFile(path)).split(QStringLiteral("\n")))
            fields += line.split(QLatin1Char('\t')).size();
        benchmark::DoNotOptimize(fields);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadBrd)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The import dialog on screen, holding the boards of a brd of `count` boards.
class TLoadedDialog {
public:
    explicit TLoadedDialog(int count) : path(WriteBrd(env, count))
    {
        dialog.LoadBrdFile(path);
        dialog.show();   // a view on screen repaints what changes
        QApplication::processEvents();
    }
    ThreadTestEnv env;
    QString path;
    TKatjuBoardDialog dialog;
};

void BM_CheckAllRows(benchmark::State &state)
{
    TLoadedDialog loaded(int(state.range(0)));
    bool checked = true;
    for (auto _ : state) {
        loaded.dialog.SetChecked(checked, false);
        checked = !checked;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckAllRows)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: every row of the same list visited and its tick read.
void BM_ReadRowChecks(benchmark::State &state)
{
    TLoadedDialog loaded(int(state.range(0)));
    QTreeWidget &list = *loaded.dialog.ListView1;
    for (auto _ : state) {
        int checkedRows = 0;
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            checkedRows += list.topLevelItem(i)->checkState(0) == Qt::Checked ? 1 : 0;
        benchmark::DoNotOptimize(checkedRows);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadRowChecks)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TRatioReporter reporter({{"BM_LoadBrd/5000/", "BM_ReadBrd/5000/"},
                             {"BM_LoadBrd/50000/", "BM_ReadBrd/50000/"},
                             {"BM_CheckAllRows/5000/", "BM_ReadRowChecks/5000/"},
                             {"BM_CheckAllRows/50000/", "BM_ReadRowChecks/50000/"}},
                            5.0);
    return RunBenchmarks(argc, argv, reporter);
}
