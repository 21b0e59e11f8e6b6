#pragma once

#include <QtGlobal>

// Resource figures of this process and of the engine's helper processes
// (renderers, GPU and utility processes are descendants of this process).
namespace pagewick::bench {

struct CpuTimes
{
    double selfSeconds = 0;     // user + system of this process (getrusage)
    double childrenSeconds = 0; // user + system of the live descendants (/proc/<pid>/stat)
};

CpuTimes SampleCpu();

// From /proc/self/status, in MB; 0 when unreadable.
double ResidentMb();     // VmRSS
double PeakResidentMb(); // VmHWM

// VmRSS summed over the live descendants, in MB.
double DescendantsResidentMb();

} // namespace pagewick::bench
