#include "workflow/clock.h"

namespace pagewick::workflow {

namespace {

class SystemClock : public Clock
{
public:
    QDateTime now() override { return QDateTime::currentDateTime(); }
};

} // namespace

Clock &systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace pagewick::workflow
