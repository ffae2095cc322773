// The engine's pure rules: display strings, target rectangle, pacing, rotation and the
// frame arithmetic of time bases and frame rates.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

extern "C" {
#include <libavutil/display.h>
}

#include "media/frame_timing.h"
#include "media/stream_rotation.h"
#include "player/frame_pacing.h"
#include "player/media_info.h"
#include "player/video_layout.h"

namespace {

using kalo::FrameCount;
using kalo::FrameTiming;
using kalo::buildSeekPoints;
using kalo::countFrames;
using kalo::isPortrait;
using kalo::normalizeRotation;
using kalo::parseRotateTag;
using kalo::rotationFromDisplayMatrix;
using kalo::seekPointAtOrBefore;

TEST(DisplayStrings, DurationSizeAndFormat) {
    EXPECT_EQ(formatDuration(3725LL * 1000000), "01:02:05");
    EXPECT_EQ(formatDuration(59900000), "00:00:59");
    EXPECT_EQ(formatDuration(0), "00:00:00");
    EXPECT_EQ(formatDuration(-1), "00:00:00");  // unknown duration
    EXPECT_EQ(formatDuration(100LL * 3600 * 1000000 + 61000000), "100:01:01");

    struct Case {
        std::uintmax_t bytes;
        const char* text;
    } sizes[] = {
        {0, "0 B"},
        {1024, "1024 B"},
        {1025, "1 KB"},
        {1048576, "1024 KB"},
        {1049599, "1024 KB"},
        {1049600, "1 MB"},
        {15ULL * 1024 * 1024 + 5, "15 MB"},
        {3ULL << 40, "3 TB"},
        {5000ULL << 40, "5000 TB"},  // never beyond four divisions
    };
    for (const Case& c : sizes) EXPECT_EQ(formatFileSize(c.bytes), c.text) << c.bytes;

    EXPECT_EQ(formatExtension("/videos/Trip.MKV"), "mkv");
    EXPECT_EQ(formatExtension("C:\\clips\\a.b\\film.Mp4"), "mp4");
    EXPECT_EQ(formatExtension("/videos.d/noextension"), "");
    EXPECT_EQ(formatExtension("/videos/片段.RMVB"), "rmvb");
    EXPECT_EQ(formatResolution(1920, 1080), "1920x1080");
}

TEST(VideoRect, FitsCentresAndTurns) {
    struct Case {
        int areaW, areaH;
        float scale;
        int picW, picH, rotation;
        SDL_Rect expected;
    } cases[] = {
        {1000, 500, 1.0f, 1920, 1080, 0, {56, 0, 888, 500}},
        {880, 475, 1.0f, 1920, 1080, 0, {18, 0, 844, 475}},   // the preview window's area
        {1000, 1000, 1.0f, 1920, 1080, 0, {0, 219, 1000, 562}},
        {1000, 500, 1.0f, 1920, 1080, 180, {56, 0, 888, 500}},
        // A quarter turn: the rectangle is 500 wide and 281 high before turning, so the
        // turned picture stands 500 high and 281 wide, centred on the area's centre.
        {1000, 500, 1.0f, 1920, 1080, 90, {250, 110, 500, 281}},
        {1000, 500, 1.0f, 1920, 1080, 270, {250, 110, 500, 281}},
        {400, 1000, 1.0f, 1920, 1080, 90, {-155, 300, 711, 400}},
    };
    for (const Case& c : cases) {
        const SDL_Rect r = computeVideoRect(c.areaW, c.areaH, c.scale, c.picW, c.picH, c.rotation);
        EXPECT_EQ(r.x, c.expected.x) << c.areaW << "x" << c.areaH << " rot " << c.rotation;
        EXPECT_EQ(r.y, c.expected.y) << c.areaW << "x" << c.areaH << " rot " << c.rotation;
        EXPECT_EQ(r.w, c.expected.w) << c.areaW << "x" << c.areaH << " rot " << c.rotation;
        EXPECT_EQ(r.h, c.expected.h) << c.areaW << "x" << c.areaH << " rot " << c.rotation;
    }
}

TEST(Pacing, SleepsTheRestOfTheFramePeriod) {
    EXPECT_EQ(pacingDelayMs(25.0f, 10), 29);
    EXPECT_EQ(pacingDelayMs(25.0f, 0), 39);
    EXPECT_EQ(pacingDelayMs(25.0f, 39), 0);
    EXPECT_EQ(pacingDelayMs(25.0f, 500), 0);
    EXPECT_EQ(pacingDelayMs(30000.0f / 1001.0f, 0), 32);
    EXPECT_EQ(pacingDelayMs(0.0f, 0), 0);  // unknown rate: no pacing
}

TEST(Rotation, TagTextAndDisplayMatrix) {
    struct TagCase {
        const char* text;
        bool readable;
        int value;
    } tags[] = {
        {"90", true, 90},   {"270abc", true, 270}, {"  180", true, 180}, {"+90", true, 90},
        {"-90", true, -90}, {"abc", false, 0},     {"", false, 0},
        {"99999999999", false, 0},  // does not fit 32 bits
    };
    for (const TagCase& c : tags) {
        const std::optional<int> value = parseRotateTag(c.text);
        EXPECT_EQ(value.has_value(), c.readable) << c.text;
        if (value) {
            EXPECT_EQ(*value, c.value) << c.text;
        }
    }
    EXPECT_EQ(normalizeRotation(-90), 270);
    EXPECT_EQ(normalizeRotation(450), 90);

    // av_display_rotation_set describes a clockwise turn; av_display_rotation_get answers
    // counter-clockwise, in -180..180.
    struct MatrixCase {
        double setClockwise;
        int rotation;
    } matrices[] = {{0, 0}, {90, 90}, {-90, 270}, {180, 180}, {270, 270}, {-270, 90}};
    for (const MatrixCase& c : matrices) {
        std::int32_t matrix[9];
        av_display_rotation_set(matrix, c.setClockwise);
        const std::optional<int> value = rotationFromDisplayMatrix(matrix);
        ASSERT_TRUE(value.has_value()) << c.setClockwise;
        EXPECT_EQ(*value, c.rotation) << c.setClockwise;
    }
    const std::int32_t degenerate[9] = {0, 0, 0, 0, 0, 0, 0, 0, 1 << 30};
    EXPECT_FALSE(rotationFromDisplayMatrix(degenerate).has_value());
}

TEST(Rotation, PortraitRule) {
    EXPECT_TRUE(isPortrait(1920, 1080, 90));
    EXPECT_TRUE(isPortrait(1920, 1080, 270));
    EXPECT_FALSE(isPortrait(1920, 1080, 0));
    EXPECT_FALSE(isPortrait(1920, 1080, 180));
    EXPECT_TRUE(isPortrait(1080, 1920, 0));
    EXPECT_FALSE(isPortrait(1080, 1920, 90));
    EXPECT_FALSE(isPortrait(500, 500, 90));  // square is never portrait
}

std::set<std::int64_t> pointsOf(std::initializer_list<std::int64_t> frames, std::int64_t ticks) {
    std::set<std::int64_t> points;
    for (std::int64_t f : frames) points.insert(f * ticks);
    return points;
}

TEST(FrameArithmetic, CountsAndSeekGridsOfRealTimeBases) {
    struct Case {
        const char* what;
        AVRational timeBase, frameRate;
        std::int64_t streamFrames, streamDuration, containerMicroseconds;
        std::int64_t totalFrames;
        std::set<std::int64_t> points;
    } cases[] = {
        {"mp4 250 frames", {1, 12800}, {25, 1}, 250, 128000, 10000000, 250,
         pointsOf({0, 30, 60, 90, 120, 150, 180, 210, 240}, 512)},
        // tb.den * fr.den = 66 667 000 000 does not fit 32 bits.
        {"microsecond time base", {1, 1000000}, {1000000, 66667}, 100, 6666700, 6667000, 100,
         pointsOf({0, 30, 60, 90}, 66667)},
        {"mkv without frame count", {1, 1000}, {25, 1}, 0, -1, 10000000, 250,
         pointsOf({0, 30, 60, 90, 120, 150, 180, 210, 240}, 40)},
        // The container duration is converted with the frame rate, not read as ticks.
        {"ts without frame count", {1, 90000}, {25, 1}, 0, -1, 10000000, 250,
         pointsOf({0, 30, 60, 90, 120, 150, 180, 210, 240}, 3600)},
        {"avi at 30000/1001", {1001, 30000}, {30000, 1001}, 100, 100, 3336667, 100,
         pointsOf({0, 30, 60, 90}, 1)},
        {"under a millisecond", {1, 1000}, {25, 1}, 0, -1, 999, 0, {}},
        {"unknown duration", {1, 1000}, {25, 1}, 0, -1, INT64_MIN, 0, {}},
        {"zero frame rate", {1, 1000}, {0, 1}, 120, 4800, 4800000, 120, {}},
        {"zero time base", {0, 0}, {25, 1}, 0, -1, 4800000, 0, {}},
        {"zero frame-rate denominator", {1, 1000}, {25, 0}, 0, -1, 4800000, 0, {}},
    };
    for (const Case& c : cases) {
        const FrameTiming timing = FrameTiming::of(c.timeBase, c.frameRate, {0, 1});
        const FrameCount count =
            countFrames(timing, c.streamFrames, c.streamDuration, c.containerMicroseconds);
        EXPECT_EQ(count.totalFrames, c.totalFrames) << c.what;
        EXPECT_EQ(buildSeekPoints(timing, count.gridFrames), c.points) << c.what;
    }
}

TEST(FrameArithmetic, FramesAndTicksRoundTrip) {
    // 24000/1001 fps in milliseconds: frames last 41.7 ticks, so a point rounded down would
    // read back as the frame before it.
    const FrameTiming ntsc = FrameTiming::of({1, 1000}, {24000, 1001}, {0, 1});
    for (std::int64_t frame : {0, 30, 480, 99990}) {
        EXPECT_EQ(ntsc.ticksToFrames(ntsc.framesToTicks(frame)), frame) << frame;
    }
    EXPECT_EQ(ntsc.nearestFrame(1251), 30);  // frame 30 starts at 1251.25 ms, stamped 1251
    EXPECT_EQ(ntsc.ticksPerFrame(), 41);

    const FrameTiming averageOnly = FrameTiming::of({1, 1000}, {0, 0}, {30, 1});
    EXPECT_TRUE(averageOnly.valid());
    EXPECT_EQ(averageOnly.framesToTicks(3), 100);
    const FrameTiming none = FrameTiming::of({1, 1000}, {0, 0}, {0, 0});
    EXPECT_FALSE(none.valid());
    EXPECT_EQ(none.framesToTicks(3), 0);
    EXPECT_EQ(none.ticksToFrames(300), 0);

    const std::set<std::int64_t> points = {0, 100, 200};
    EXPECT_EQ(seekPointAtOrBefore(points, 150), 100);
    EXPECT_EQ(seekPointAtOrBefore(points, 100), 100);
    EXPECT_EQ(seekPointAtOrBefore(points, 5000), 200);
    EXPECT_EQ(seekPointAtOrBefore(points, -5), 0);
}

}  // namespace
