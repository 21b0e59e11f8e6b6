#include "browser/pagewaits.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace pagewick::browser {

void WaitState::succeed(const QVariant &value)
{
    settle(true, value);
}

void WaitState::fail()
{
    settle(false, {});
}

void WaitState::settle(bool succeeded, const QVariant &value)
{
    if (m_settled)
        return;
    m_settled = true;
    m_succeeded = succeeded;
    m_value = value;
    if (m_loop)
        m_loop->quit();
}

bool waitFor(const std::shared_ptr<WaitState> &state, int timeoutMs)
{
    if (state->isSettled())
        return state->succeeded();

    QEventLoop loop;
    QTimer timer;
    if (timeoutMs >= 0) {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, [state] { state->fail(); });
        timer.start(timeoutMs);
    }
    state->m_loop = &loop;
    // A quit() that belongs to an inner loop's request never reaches this
    // loop, but exec() may still return early (e.g. QCoreApplication::exit),
    // hence the condition is checked, not assumed.
    while (!state->isSettled())
        loop.exec();
    state->m_loop = nullptr;
    return state->succeeded();
}

WaitRegistry::~WaitRegistry()
{
    failAll();
}

std::shared_ptr<WaitState> WaitRegistry::begin()
{
    auto state = std::make_shared<WaitState>();
    if (m_shutDown) {
        state->fail();
        return state;
    }
    // Drop the entries of waits that have returned, so the list stays short.
    m_waits.erase(std::remove_if(m_waits.begin(), m_waits.end(),
                                 [](const std::weak_ptr<WaitState> &w) {
                                     auto s = w.lock();
                                     return !s || s->isSettled();
                                 }),
                  m_waits.end());
    m_waits.push_back(state);
    return state;
}

std::vector<std::shared_ptr<WaitState>> WaitRegistry::takeLive()
{
    std::vector<std::shared_ptr<WaitState>> live;
    for (const auto &w : m_waits) {
        if (auto s = w.lock())
            live.push_back(std::move(s));
    }
    m_waits.clear();
    return live;
}

void WaitRegistry::succeedAll(const QVariant &value)
{
    // Settling quits loops but runs no handlers, so the list cannot change
    // underneath; it is taken first all the same.
    for (const auto &s : takeLive())
        s->succeed(value);
}

void WaitRegistry::failAll()
{
    for (const auto &s : takeLive())
        s->fail();
}

void WaitRegistry::shutdown()
{
    m_shutDown = true;
    failAll();
}

} // namespace pagewick::browser
