#pragma once
// What one look at a running job tells: a plain record the converter screen polls and
// applies to its progress bar. The conversion layer computes it and never touches a widget.
#include <cstdint>
#include <string>

struct ProgressReading {
    std::int64_t frames = -1;       // the count read from the status row, -1 when none
    float progress = 0.0f;          // frames / (total + 1), never below 0 (may pass 1)
    float shown = 0.0f;             // progress kept within 0..1: how much of the bar is done
    int percent = 0;                // trunc(shown * 100)
    std::uint64_t secondsLeft = 0;  // the smoothed time left, whole seconds
    bool finished = false;          // some poll of this job saw more than 95 %
    std::uint32_t finishedAt = 0;   // SDL ticks of the last poll above 95 %
    std::string text;               // "42% 剩余3 分钟."; empty: the bar keeps its text
};

// The fraction, percentage and 95 % mark of one frame count against the source's frames;
// the time left and the text are left empty.
ProgressReading readProgress(std::int64_t frames, std::uint64_t totalFrames);
