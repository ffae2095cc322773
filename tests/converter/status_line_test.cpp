// The status line: FFmpeg's form, and readable by the application, which takes the five
// characters after "frame=" as the frame count.
#include <gtest/gtest.h>

#include <cstdlib>

#include "converter/console/status_line.h"

namespace kalo::converter {
namespace {

TEST(StatusLine, HasFfmpegFormWithinEightyColumns) {
    ProgressSnapshot start;
    EXPECT_EQ(formatStatusLine(start), "frame=    0 fps=0.0 q=-0.0 time=00:00:00.00 bitrate=N/A speed=N/A");

    ProgressSnapshot running;
    running.frames = 123;
    running.elapsedSeconds = 4.1;
    running.quality = 28;
    running.bytesWritten = 512000;
    running.outputSeconds = 4.92;
    EXPECT_EQ(formatStatusLine(running),
              "frame=  123 fps= 30 q=28.0 time=00:00:04.92 bitrate= 832.5kbits/s speed= 1.2x");

    ProgressSnapshot huge;  // six-digit count, 4K bit rate, slow
    huge.frames = 123456;
    huge.elapsedSeconds = 90000;
    huge.quality = 51;
    huge.bytesWritten = 60000000000;
    huge.outputSeconds = 4938.24;
    const std::string line = formatStatusLine(huge);
    EXPECT_EQ(line.rfind("frame=123456 ", 0), 0u) << line;
    EXPECT_LE(line.size(), kStatusLineMaxColumns) << line;
    EXPECT_NE(line.find("time=01:22:18.24"), std::string::npos) << line;
    EXPECT_NE(line.find("speed="), std::string::npos) << line;
}

TEST(StatusLine, FrameCountReadsBackAsTheApplicationReadsIt) {
    for (const std::int64_t frames : {0, 7, 123, 99999}) {
        ProgressSnapshot progress;
        progress.frames = frames;
        progress.elapsedSeconds = 1;
        const std::string line = formatStatusLine(progress);
        const std::string field = line.substr(6, 5);
        EXPECT_EQ(std::strtol(field.c_str(), nullptr, 10), frames) << line;
    }
}

TEST(StatusLine, ClockTimeTruncatesToHundredths) {
    EXPECT_EQ(formatClockTime(0), "00:00:00.00");
    EXPECT_EQ(formatClockTime(3725.459), "01:02:05.45");
    EXPECT_EQ(formatClockTime(-1), "00:00:00.00");
}

}  // namespace
}  // namespace kalo::converter
