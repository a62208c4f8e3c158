#include "render/PromptFrames.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimerEvent>
#include <QWidget>

namespace {

constexpr int GatheringMs = 5;

}  // namespace

bool PromptFrames::CompositeWaitingFrame(QWidget *view)
{
    const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(view);
    for (const QAbstractEventDispatcher::TimerInfo &timer : timers) {
        if (timer.interval == GatheringMs && timer.timerType == Qt::PreciseTimer) {
            QTimerEvent elapsed(timer.timerId);
            QCoreApplication::sendEvent(view, &elapsed);
            return true;
        }
    }
    return false;
}
