#include "conversion/progress_reading.h"

#include <algorithm>
#include <cmath>

ProgressReading readProgress(std::int64_t frames, std::uint64_t totalFrames) {
    ProgressReading reading;
    reading.frames = frames;
    reading.progress = std::max(0.0f, static_cast<float>(frames) /
                                          static_cast<float>(totalFrames + 1));
    // Without a known length the raw count can pass 1: the bar and the percentage stop at
    // their ends instead of running off the bar.
    reading.shown = std::min(reading.progress, 1.0f);
    reading.finished = static_cast<double>(reading.progress) > 0.95;
    reading.percent = static_cast<int>(std::trunc(reading.shown * 100.0f));
    return reading;
}
