#include "converter/platform/cpu_clock.h"

#include <sys/resource.h>
#include <ctime>

namespace kalo::converter {

double threadCpuSeconds() {
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0;
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

ProcessCpuTimes processCpuTimes() {
    rusage usage{};
    ProcessCpuTimes times;
    if (getrusage(RUSAGE_SELF, &usage) != 0) return times;
    times.userSeconds = static_cast<double>(usage.ru_utime.tv_sec) + usage.ru_utime.tv_usec * 1e-6;
    times.systemSeconds = static_cast<double>(usage.ru_stime.tv_sec) + usage.ru_stime.tv_usec * 1e-6;
    return times;
}

}  // namespace kalo::converter
