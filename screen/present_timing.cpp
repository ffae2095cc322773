#include "screen/present_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Taken while the program's objects are built, before main: the start a person sees.
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();

double millisecondsBetween(std::chrono::steady_clock::time_point a,
                           std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

PresentTiming::PresentTiming() {
    const char* setting = std::getenv("KALO_FRAME_TIMING");
    on = setting && *setting && std::strcmp(setting, "0") != 0;
}

void PresentTiming::workStarted() {
    if (!on || working) return;
    working = true;
    workStart = Clock::now();
}

void PresentTiming::framePresented(bool converting) {
    if (!on) return;
    const Clock::time_point now = Clock::now();
    if (first) {
        first = false;
        firstFrameMs = millisecondsBetween(processStart, now);
        firstFrameUnixMs = std::chrono::duration<double, std::milli>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    } else if (working) {
        (converting ? convertingMs : idleMs).push_back(millisecondsBetween(workStart, now));
    }
    working = false;
}

double PresentTiming::quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(q * static_cast<double>(values.size()));
    const std::size_t index = rank < 1.0 ? 0 : static_cast<std::size_t>(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}

std::string PresentTiming::summary() const {
    char line[320];
    std::snprintf(line, sizeof line,
                  "frame timing: first=%.1f ms idle median=%.2f p99=%.2f max=%.2f (%zu) "
                  "converting median=%.2f p99=%.2f (%zu) first_at=%.1f",
                  firstFrameMs, quantile(idleMs, 0.5), quantile(idleMs, 0.99), quantile(idleMs, 1.0),
                  idleMs.size(),
                  quantile(convertingMs, 0.5), quantile(convertingMs, 0.99), convertingMs.size(),
                  firstFrameUnixMs);
    return line;
}
