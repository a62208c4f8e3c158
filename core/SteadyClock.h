#pragma once
// The clock that measures pauses and stretches of time: milliseconds of a steady clock, which no
// change of the system time moves. A class that measures time holds a TSteadyClock, so a test can
// put a clock of its own in its place and decide how much time passes.

#include <QtGlobal>
#include <chrono>
#include <functional>

using TSteadyClock = std::function<qint64()>;

inline qint64 SteadyNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
