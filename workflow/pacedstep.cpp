#include "workflow/pacedstep.h"

#include <QRandomGenerator>
#include <QtGlobal>

#include <cmath>
#include <utility>

namespace pagewick::workflow {

int PacingDelayMs(int seconds, double factor, int secondMs)
{
    return int(std::lround(double(seconds) * qBound(0.5, factor, 1.5) * secondMs));
}

QString PacingCountdownText(int secondsLeft)
{
    return QStringLiteral("等待 %1 秒后打开下一页…").arg(secondsLeft);
}

QString PacingCancelledText()
{
    return QStringLiteral("已取消打开下一页");
}

PacedStep::PacedStep(QObject *parent)
    : QObject(parent)
{
    m_ticker.setSingleShot(true);
    connect(&m_ticker, &QTimer::timeout, this, &PacedStep::tick);
}

void PacedStep::start(int seconds, const ChainTiming &timing,
                      std::function<void(const QString &)> countdown, std::function<void()> due)
{
    const double factor =
        timing.drawFactor ? timing.drawFactor() : 0.5 + QRandomGenerator::global()->generateDouble();
    m_secondMs = qMax(1, timing.secondMs);
    m_totalMs = PacingDelayMs(seconds, factor, m_secondMs);
    m_countdown = std::move(countdown);
    m_due = std::move(due);
    m_shownSeconds = -1;
    m_clock.start();
    tick();
}

bool PacedStep::cancel()
{
    const bool wasPending = pending();
    m_ticker.stop();
    m_countdown = nullptr;
    m_due = nullptr;
    return wasPending;
}

void PacedStep::tick()
{
    const int leftMs = m_totalMs - int(m_clock.elapsed());
    if (leftMs > 0) {
        const int seconds = (leftMs + m_secondMs - 1) / m_secondMs;
        if (seconds != m_shownSeconds && m_countdown) {
            m_shownSeconds = seconds;
            m_countdown(PacingCountdownText(seconds));
        }
        // Wakes at the next whole second left, or at the end.
        const int toNextSecond = leftMs - (seconds - 1) * m_secondMs;
        m_ticker.start(qMax(1, toNextSecond));
        return;
    }
    m_countdown = nullptr;
    const std::function<void()> due = std::exchange(m_due, nullptr);
    if (due)
        due();
}

} // namespace pagewick::workflow
