#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Measures how well the event loop answers: a 10 ms timer ticks from
// construction on, and while the meter is armed the longest time between two
// ticks is kept. A handler that blocks the loop shows as a long gap.
class TickGapMeter : public QObject
{
public:
    TickGapMeter()
    {
        m_clock.start();
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &TickGapMeter::tick);
        m_timer.start();
    }

    // Gaps ending from now on count.
    void arm()
    {
        m_armed = true;
        m_armedAt = m_clock.elapsed();
    }
    void disarm()
    {
        // The stretch since the last tick counts too: a block may end here.
        if (m_armed)
            record(m_clock.elapsed());
        m_armed = false;
    }

    qint64 longestGapMs() const { return m_longestGap; }
    qint64 ticks() const { return m_ticks; }

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        if (m_armed) {
            record(now);
            ++m_ticks;
        }
        m_lastTick = now;
    }
    void record(qint64 now)
    {
        // A gap that began before arming counts only from the arming.
        const qint64 from = qMax(m_lastTick, m_armedAt);
        m_longestGap = qMax(m_longestGap, now - from);
    }

    QElapsedTimer m_clock;
    QTimer m_timer;
    bool m_armed = false;
    qint64 m_armedAt = 0;
    qint64 m_lastTick = 0;
    qint64 m_longestGap = 0;
    qint64 m_ticks = 0;
};
