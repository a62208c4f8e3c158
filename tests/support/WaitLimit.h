#pragma once
// How long a test waits for something that must happen before it calls it a failure. The limit only
// ends a wait that would otherwise never end; a loaded two-core machine stays far below it.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

constexpr int WaitLimitMs = 120000;

// Runs the event loop until the condition holds (at most timeoutMs). The answer is the condition's
// last one, asked once: a condition that held and then changed again (a count of processes, say)
// is not asked a second time.
inline bool WaitFor(const std::function<bool()> &condition, int timeoutMs = WaitLimitMs)
{
    QElapsedTimer timer;
    timer.start();
    bool holds = condition();
    while (!holds && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        holds = condition();
    }
    return holds;
}
