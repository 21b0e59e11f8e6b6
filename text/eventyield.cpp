#include "text/eventyield.h"

#include <QCoreApplication>
#include <chrono>
#include <utility>

namespace pagewick::text {

namespace {

// Long enough that an event-queue pass costs little of a walk, short enough
// that the window still repaints and takes clicks while it runs.
constexpr qint64 kYieldIntervalMs = 10;

YieldFunction &installedYield()
{
    static YieldFunction f;
    return f;
}

qint64 monotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void defaultYield()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace

void setYieldFunction(YieldFunction f)
{
    installedYield() = std::move(f);
}

void yieldToEvents()
{
    // A copy: the function may install another one while it runs.
    const YieldFunction f = installedYield();
    if (f)
        f();
    else
        defaultYield();
}

void ThrottledYield::step()
{
    const qint64 now = monotonicMs();
    if (m_lastYieldMs >= 0 && now - m_lastYieldMs < kYieldIntervalMs)
        return;
    yieldToEvents();
    // Measured after the pass, so that a slow pass does not cause one per step.
    m_lastYieldMs = monotonicMs();
}

} // namespace pagewick::text
