// How long a 1000-response thread takes until it is fully shown: written response by response into
// a browser tab (header, 1000 appends to the live page), against a plain web view loading the same
// finished page in one piece from a file. Run headless: QT_QPA_PLATFORM=offscreen. The last line of
// the output gives the tab's time over the plain view's.
#include "WebEngineBenchMain.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "render/TavuBrowser.h"
#include "render/TavuResWriter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int ResCount = 1000;

std::unique_ptr<TResList> Thread()
{
    QString log;
    for (int n = 1; n <= ResCount; ++n)
        log += QStringLiteral("名無しさん<>sage<>2024/01/02(火) 03:04:05 ID:abc%1<>"
                              ">>%2 本文です。<br>二行目の本文 http://example.com/%1 があります。<br>三行目<>%3\r\n")
                   .arg(n % 13)
                   .arg(std::max(1, n - 1))
                   .arg(n == 1 ? QStringLiteral("ベンチスレ") : QString());
    auto list = std::make_unique<TResList>();
    list->LoadDat(jconvert::UnicodeToSjis(log));
    return list;
}

// Runs the event loop (where the web engine works) until done() holds.
void WaitUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || clock.elapsed() > 60000)
            loop.quit();
    });
    poll.start(1);
    if (!done())
        loop.exec();
    if (!done())
        qFatal("the page did not finish");
}

// Loads the URL into the view and waits until the page has finished loading.
void LoadAndWait(QWebEngineView &view, const QUrl &url)
{
    bool loaded = false;
    const auto connection = QObject::connect(&view, &QWebEngineView::loadFinished, [&] { loaded = true; });
    view.load(url);
    WaitUntil([&] { return loaded; });
    QObject::disconnect(connection);
}

void BM_TabAppendsResponses(benchmark::State &state)
{
    const auto list = Thread();
    TTavuBrowser tab;
    tab.resize(1000, 800);
    tab.show();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        tab.ClearDocument();
        tab.WriteHeader();
        for (int i = 0; i < list->Count(); ++i)
            tab.AppendRes(list->Get(i));
        WaitUntil([&] { return !tab.Browser()->IsBusy(); });
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}

void BM_ViewLoadsFinishedPage(benchmark::State &state)
{
    const auto list = Thread();
    TTavuResWriter writer{TSkinSettings()};
    QString html = writer.RenderHeader();
    for (int i = 0; i < list->Count(); ++i)
        html += writer.RenderRes(*list->Get(i));
    html += writer.RenderFooter();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("thread.html"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(jconvert::UnicodeToSjis(html));   // as the page's header declares
    file.close();

    QWebEngineView view;
    view.resize(1000, 800);
    view.show();
    for (auto _ : state) {
        LoadAndWait(view, QUrl(QStringLiteral("about:blank")));
        QElapsedTimer clock;
        clock.start();
        LoadAndWait(view, QUrl::fromLocalFile(path));
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}

BENCHMARK(BM_TabAppendsResponses)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ViewLoadsFinishedPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter("BM_TabAppendsResponses", "BM_ViewLoadsFinishedPage", 1.5);
    return RunWebEngineBenchmarks(argc, argv, reporter);
}
