// Opening the history window's list over a history file of 10,000 lines.
//   HistoryOpen: THistoryModel reads readhist.txt and a table view lays out its first screen.
//   HistoryFileRead: the same file only read into lines, the floor opening is compared with.

#include "RatioReporter.h"

#include "core/JConvert.h"
#include "core/TextList.h"
#include "services/HistoryModel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

QString HistoryFile()
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("readhist.txt"));
    if (!QFile::exists(path)) {
        QString text;
        for (int n = 0; n < 10000; ++n)
            text += QStringLiteral("2ch\tnews%1\t%2\tベンチマーク用のスレッドその%3\t2024/05/%4 12:00:00\r\n")
                        .arg(n % 50)
                        .arg(1000000000 + n)
                        .arg(n)
                        .arg(1 + n % 28, 2, 10, QLatin1Char('0'));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(jconvert::UnicodeToSjis(text));
    }
    return path;
}

void HistoryOpen(benchmark::State &state)
{
    const QString path = HistoryFile();
    for (auto _ : state) {
        THistoryModel model(path);
        QTreeView view;
        view.setUniformRowHeights(true);
        view.resize(800, 600);
        view.setModel(&model);
        view.grab();   // lays out and draws the first screen
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(HistoryOpen)->Unit(benchmark::kMillisecond);

void HistoryFileRead(benchmark::State &state)
{
    const QString path = HistoryFile();
    for (auto _ : state) {
        TTextList lines;
        lines.LoadFromFile(path);
        benchmark::DoNotOptimize(lines.Count());
    }
}
BENCHMARK(HistoryFileRead)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter("HistoryOpen", "HistoryFileRead", 3.0);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
