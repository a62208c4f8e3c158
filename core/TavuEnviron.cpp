#include "core/TavuEnviron.h"

#include <QMutexLocker>

TTavuEnviron *TavuEnviron = nullptr;

namespace {
// The memo keeps the latest lines only, so a long session does not grow without end.
constexpr int MaxTraceLines = 5000;
}

TTavuEnviron::TTavuEnviron() = default;
TTavuEnviron::~TTavuEnviron() = default;

void TTavuEnviron::AddTrace(const QString &text)
{
    std::function<void(const QString &)> sink;
    {
        QMutexLocker lock(&traceLock);
        trace.append(text);
        if (trace.size() > MaxTraceLines)
            trace.remove(0, trace.size() - MaxTraceLines);
        sink = traceSink;
    }
    if (sink)
        sink(text);
}

void TTavuEnviron::SetTraceSink(std::function<void(const QString &)> sink)
{
    QMutexLocker lock(&traceLock);
    traceSink = std::move(sink);
}

QStringList TTavuEnviron::TraceLines() const
{
    QMutexLocker lock(&traceLock);
    return trace;
}
