#pragma once

#include <QtGlobal>

namespace pagewick::workflow {

// Tells the current Extract run from the ones it superseded. A run is
// current from its start until the next run starts; an earlier run then
// stops at its next yield.
class RunGenerations
{
public:
    quint64 begin() { return ++m_current; }
    quint64 current() const { return m_current; }
    bool isCurrent(quint64 generation) const { return generation == m_current; }

private:
    quint64 m_current = 0;
};

} // namespace pagewick::workflow
