#pragma once
// The main of a benchmark that drives the web engine: an offscreen window, no GPU, the engine's
// sandbox off for root (it refuses to run as root), the program's schemes, then every benchmark
// with the reporter given.

#include "RatioReporter.h"
#include "render/EmbeddedWB.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <unistd.h>

inline int RunWebEngineBenchmarks(int argc, char **argv, TRatioReporter &reporter)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    TEmbeddedWB::PrepareEngine();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
