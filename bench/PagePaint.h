#pragma once
// When a page painted something, measured from the page itself: a requestAnimationFrame callback
// notes the time of the frame that shows it (ms since the epoch, fractional), which the bench reads
// back. PaintedAt looks for a response that a load brings (a new document); WatchPaint watches a
// live page for a response that a write will add to it.

#include "window/PostTestEnv.h"

#include <QWebEnginePage>
#include <QWebEngineScript>

#include <chrono>

namespace PagePaint {

constexpr QWebEngineScript::ScriptWorldId World = QWebEngineScript::ApplicationWorld;

// Now, on the clock the page's notes use.
inline double Now()
{
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

// Runs the script until it answers a time; that time.
inline double PollTime(QWebEnginePage *page, const QString &script, const char *what)
{
    double painted = 0;
    bool answered = true;
    // No question is left on its way once the answer is there: it would write into this frame.
    if (!PostTest::WaitFor([&] {
            if (painted > 0)
                return true;
            if (answered) {
                answered = false;
                page->runJavaScript(script, World, [&](const QVariant &value) {
                    painted = value.toDouble();
                    answered = true;
                });
            }
            return painted > 0;
        }, 120000))
        qFatal("the page did not paint %s", what);
    return painted;
}

// The time of the first frame after the response `number` was found in the page.
inline double PaintedAt(QWebEnginePage *page, int number)
{
    const QString poll = QStringLiteral(
        "(function () {"
        "  if (window.paintedAt) return window.paintedAt;"
        "  if (!window.paintAsked && document.getElementById('ID%1')) {"
        "    window.paintAsked = true;"
        "    requestAnimationFrame(function () { window.paintedAt = performance.timeOrigin + performance.now(); });"
        "  }"
        "  return 0;"
        "})()").arg(number);
    return PollTime(page, poll, "the response");
}

// From now on, the page notes the first frame after an element with the id goes into it.
inline void WatchPaint(QWebEnginePage *page, const QString &id)
{
    const QString watch = QStringLiteral(
        "(function () {"
        "  window.paintedAt = 0;"
        "  const observer = new MutationObserver(function () {"
        "    if (!document.getElementById('%1')) return;"
        "    observer.disconnect();"
        "    requestAnimationFrame(function () { window.paintedAt = performance.timeOrigin + performance.now(); });"
        "  });"
        "  observer.observe(document.body, { childList: true, subtree: true });"
        "  return true;"
        "})()").arg(id);
    bool armed = false;
    page->runJavaScript(watch, World, [&armed](const QVariant &) { armed = true; });
    if (!PostTest::WaitFor([&armed] { return armed; }, 120000))
        qFatal("the page did not take the watch");
}

// Returns once the page has drawn the frame after everything written into it so far: a frame
// begins after the one that showed the writes. A measurement that starts then finds the page at
// rest, as a user's command does, and does not wait for the layout of what came before it.
inline void WaitForRest(QWebEnginePage *page)
{
    PollTime(page,
             QStringLiteral("(function () {"
                            "  if (window.restAsked === undefined) {"
                            "    window.restAsked = true;"
                            "    window.restAt = 0;"
                            "    requestAnimationFrame(function () { requestAnimationFrame(function () {"
                            "      window.restAt = performance.timeOrigin + performance.now(); }); });"
                            "  }"
                            "  if (!window.restAt) return 0;"
                            "  const at = window.restAt;"
                            "  window.restAsked = undefined;"
                            "  return at;"
                            "})()"),
             "the frame after the writes");
}

// The time WatchPaint noted.
inline double WatchedPaint(QWebEnginePage *page)
{
    return PollTime(page, QStringLiteral("window.paintedAt || 0"), "what was watched");
}

}  // namespace PagePaint
