#pragma once
// The status line in FFmpeg's form:
//   frame=  123 fps= 30 q=28.0 time=00:00:04.92 bitrate=9870.3kbits/s speed=1.02x
// "frame=" is followed by the count right-aligned in five columns (wider when needed):
// the application reads the whole number after "frame=" off the console row. The line is
// kept under 80 columns so that it never wraps on a classic console, where a wrapped line
// would leave the cursor on a row without "frame=".
#include <cstdint>
#include <string>

namespace kalo::converter {

struct ProgressSnapshot {
    std::int64_t frames = 0;          // frames handed to the encoder
    double elapsedSeconds = 0;        // wall time since the conversion started
    double quality = -1;              // encoder quantiser of the last frame; < 0 unknown
    std::int64_t bytesWritten = 0;    // output bytes so far
    double outputSeconds = -1;        // end of the last frame written; < 0 none yet
};

constexpr size_t kStatusLineMaxColumns = 79;

std::string formatStatusLine(const ProgressSnapshot& progress);

// "HH:MM:SS.cc" (hundredths truncated), as FFmpeg prints times.
std::string formatClockTime(double seconds);

}  // namespace kalo::converter
