#pragma once
// TTavuEnviron: the one environment registry of the run (global TavuEnviron).
// It owns the board-type list and the site list, points to the special sites and holds the flags
// that every request consults: offline, stop (set by stop-all, read from worker threads too) and
// the trace memo into which every HTTP job writes its request and reply headers.

#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class TTavuEnviron {
public:
    TTavuEnviron();
    ~TTavuEnviron();

    // Offline: nothing is sent; jobs report done at once.
    bool IsOffline() const { return offline.load(); }
    void SetOffline(bool on) { offline.store(on); }

    // Stop flag: every synchronous wait that sees it gives up with "切断しました。".
    bool IsStopped() const { return stopped.load(); }
    void SetStopped(bool on) { stopped.store(on); }
    static QString StoppedMessage() { return QStringLiteral("切断しました。"); }

    // Trace memo: the main window attaches its memo; lines written before that are kept.
    // Safe to call from any thread; the sink is called on the calling thread.
    void AddTrace(const QString &text);
    void SetTraceSink(std::function<void(const QString &)> sink);
    QStringList TraceLines() const;

private:
    std::atomic<bool> offline{false};
    std::atomic<bool> stopped{false};
    mutable QMutex traceLock;
    QStringList trace;
    std::function<void(const QString &)> traceSink;
};

extern TTavuEnviron *TavuEnviron;
