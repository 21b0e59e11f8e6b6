#pragma once

#include <QtGlobal>

#include <functional>

// The one place where long text operations let pending user-interface events
// run. Tests and the window may install their own function; by default it
// processes the event queue when an application object exists and does
// nothing otherwise.
namespace pagewick::text {

using YieldFunction = std::function<void()>;

// Installs f; an empty function restores the default.
void setYieldFunction(YieldFunction f);

// Calls the installed function.
void yieldToEvents();

// For loops over many small steps: yields only when enough time has passed
// since the last yield, so that a long walk stays responsive without paying
// for an event-queue pass per step.
class ThrottledYield
{
public:
    void step();

private:
    qint64 m_lastYieldMs = -1;
};

} // namespace pagewick::text
