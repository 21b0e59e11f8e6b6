#pragma once

#include "workflow/chaintiming.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace pagewick::workflow {

// The wait of the page interval in milliseconds: seconds × factor, a second
// being secondMs long.
int PacingDelayMs(int seconds, double factor, int secondMs);

// The status line while the page interval runs: the whole seconds left,
// rounded up.
QString PacingCountdownText(int secondsLeft);

// The status line when a waiting next-page step is called off.
QString PacingCancelledText();

// The wait before a silent chain's next-page click, counted down on the
// status line second by second. Only a timer: the window stays usable.
class PacedStep : public QObject
{
    Q_OBJECT

public:
    explicit PacedStep(QObject *parent = nullptr);

    // Replaces any wait under way. countdown gets each new text for the status
    // line; due runs once the wait is over.
    void start(int seconds, const ChainTiming &timing, std::function<void(const QString &)> countdown,
               std::function<void()> due);
    // True when a wait was under way.
    bool cancel();
    bool pending() const { return m_ticker.isActive(); }

private:
    void tick();

    QTimer m_ticker;
    QElapsedTimer m_clock;
    int m_totalMs = 0;
    int m_secondMs = 1000;
    int m_shownSeconds = -1;
    std::function<void(const QString &)> m_countdown;
    std::function<void()> m_due;
};

} // namespace pagewick::workflow
