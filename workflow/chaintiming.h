#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QTimer;

namespace pagewick::workflow {

// The pauses of an automatic chain; tests shorten them.
struct ChainTiming
{
    // Before each retry of a page the chain could not open (six retries,
    // about five minutes in all).
    QList<int> retryDelaysMs{5000, 10000, 20000, 40000, 80000, 160000};
    // After a failed read, once the page has loaded, before it is read again.
    int readRetryPauseMs = 1000;
    // Before the next-page link is looked up again in a page that changed
    // between finding it and the click (a script still inserting links).
    int linkChangedPauseMs = 250;
    // A next-page click that starts no page load within this time ends the chain.
    int noNavigationMs = 10000;
    // One second of the page interval and of its countdown.
    int secondMs = 1000;
    // Draws the factor the page interval is multiplied by, in [0.5, 1.5];
    // empty: uniformly at random.
    std::function<double()> drawFactor;
};

// Calls back once after a pause: the seam through which the chain's waits go.
class DelayTimer
{
public:
    virtual ~DelayTimer() = default;
    // Replaces the call pending, if any.
    virtual void start(int milliseconds, std::function<void()> call) = 0;
    virtual void cancel() = 0;
    virtual bool isPending() const = 0;
};

// The event loop's timer.
class EventLoopDelayTimer : public QObject, public DelayTimer
{
public:
    EventLoopDelayTimer();
    void start(int milliseconds, std::function<void()> call) override;
    void cancel() override;
    bool isPending() const override;

private:
    QTimer *m_timer = nullptr;
    std::function<void()> m_call;
};

// Runs the event loop for the given time, or until keepWaiting() turns
// false (checked at least every 50 ms); answers keepWaiting()'s last value.
bool PauseWhile(int milliseconds, const std::function<bool()> &keepWaiting);

} // namespace pagewick::workflow
