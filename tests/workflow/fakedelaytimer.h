#pragma once

#include "workflow/chaintiming.h"

#include <QList>

// A delay timer that waits for the test: it records each pause asked for,
// and fire() makes the pending call.
class FakeDelayTimer : public pagewick::workflow::DelayTimer
{
public:
    QList<int> started;

    void start(int milliseconds, std::function<void()> call) override
    {
        started << milliseconds;
        m_call = std::move(call);
    }
    void cancel() override { m_call = nullptr; }
    bool isPending() const override { return bool(m_call); }
    // Makes the pending call as the time had come; false when none is pending.
    bool fire()
    {
        if (!m_call)
            return false;
        const auto call = std::move(m_call);
        m_call = nullptr;
        call();
        return true;
    }

private:
    std::function<void()> m_call;
};
