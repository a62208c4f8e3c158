#include "net/SyncWait.h"

#include "core/TavuEnviron.h"

#include <QTimer>

namespace {
constexpr int StopPollMs = 50;
}

bool StopRequested()
{
    return TavuEnviron && TavuEnviron->IsStopped();
}

bool RunWhileBusy(QEventLoop &loop, const std::function<bool()> &isBusy, const std::function<void()> &abort)
{
    bool stopped = false;
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &loop, [&] {
        if (!stopped && StopRequested()) {
            stopped = true;
            abort();
        }
    });
    stopPoll.start(StopPollMs);
    if (StopRequested()) {
        stopped = true;
        abort();
    } else if (isBusy()) {
        loop.exec();
    }
    return stopped;
}
