#include "workflow/chaintiming.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace pagewick::workflow {

EventLoopDelayTimer::EventLoopDelayTimer()
    : m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        // The call may start the timer again.
        const std::function<void()> call = std::move(m_call);
        m_call = nullptr;
        if (call)
            call();
    });
}

void EventLoopDelayTimer::start(int milliseconds, std::function<void()> call)
{
    m_call = std::move(call);
    m_timer->start(std::max(0, milliseconds));
}

void EventLoopDelayTimer::cancel()
{
    m_timer->stop();
    m_call = nullptr;
}

bool EventLoopDelayTimer::isPending() const
{
    return m_timer->isActive();
}

bool PauseWhile(int milliseconds, const std::function<bool()> &keepWaiting)
{
    const QDeadlineTimer deadline(std::max(0, milliseconds));
    while (keepWaiting()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return true;
        QEventLoop loop;
        QTimer::singleShot(int(std::min<qint64>(left, 50)), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return false;
}

} // namespace pagewick::workflow
