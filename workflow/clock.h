#pragma once

#include <QDateTime>

namespace pagewick::workflow {

// The time of day as the program reads it, so that tests can fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    // Local time.
    virtual QDateTime now() = 0;
};

// The system's clock. Lives as long as the program.
Clock &systemClock();

} // namespace pagewick::workflow
