#pragma once
// CPU time, for the per-stage figures of -benchmark.

namespace kalo::converter {

// CPU seconds used so far by the calling thread.
double threadCpuSeconds();

struct ProcessCpuTimes {
    double userSeconds = 0;
    double systemSeconds = 0;
};

ProcessCpuTimes processCpuTimes();

}  // namespace kalo::converter
