#include "converter/platform/cpu_clock.h"

#include <windows.h>

namespace kalo::converter {
namespace {

double seconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) * 1e-7;  // 100 ns units
}

}  // namespace

double threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    return seconds(kernel) + seconds(user);
}

ProcessCpuTimes processCpuTimes() {
    FILETIME created, exited, kernel, user;
    ProcessCpuTimes times;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return times;
    times.userSeconds = seconds(user);
    times.systemSeconds = seconds(kernel);
    return times;
}

}  // namespace kalo::converter
