#pragma once
// The wait of a synchronous request: the calling thread's events run until the request ends.
// Meanwhile the registry's stop flag is polled; when stop-all sets it, the request is aborted and
// the wait reports that it was stopped (the caller then raises "切断しました。").

#include <QEventLoop>
#include <QObject>

#include <functional>

bool StopRequested();

// Runs `loop` while isBusy() holds; true when the stop flag ended the wait (after abort()).
bool RunWhileBusy(QEventLoop &loop, const std::function<bool()> &isBusy, const std::function<void()> &abort);

// Waits until `sender` emits `finished`.
template <typename Sender, typename Signal>
bool WaitUntil(Sender *sender, Signal finished, const std::function<bool()> &isBusy, const std::function<void()> &abort)
{
    QEventLoop loop;
    QObject::connect(sender, finished, &loop, &QEventLoop::quit);
    return RunWhileBusy(loop, isBusy, abort);
}
