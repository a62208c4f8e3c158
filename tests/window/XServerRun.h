#pragma once
// Runs one test of this program again on a virtual X server (xvfb-run, the xcb platform), for what
// the headless platform never does: native windows made anew, pointer crossings between windows.
// Skips when the tests run on X already or when xvfb-run is not installed.

#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

inline void RunOnXServer(const char *testName)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "the test ran on X already";
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfb.isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed";
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1400x900x24"),
                     QCoreApplication::applicationFilePath(), QStringLiteral("--gtest_filter=%1").arg(QLatin1String(testName))});
    ASSERT_TRUE(run.waitForStarted());
    ASSERT_TRUE(run.waitForFinished(3 * WaitLimitMs));   // the test there may wait its limit more than once
    const QByteArray output = run.readAll();
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
