#pragma once
// Frame arithmetic of a video stream: frame numbers <-> stream time-base ticks, the frame
// count and the grid of seek points. All products are formed in 64 bits (or wider inside
// av_rescale), so a time base of 1/1000000 with a frame rate of 1000000/66667 neither
// overflows nor loses the count; a zero component makes the timing invalid instead of
// dividing by zero.
#include <cstdint>
#include <set>

extern "C" {
#include <libavutil/rational.h>
}

namespace kalo {

struct FrameTiming {
    AVRational timeBase{0, 1};
    AVRational frameRate{0, 1};

    // Picks the stream's real frame rate, or its average frame rate when the real one has a
    // zero or negative component.
    static FrameTiming of(AVRational timeBase, AVRational realFrameRate,
                          AVRational averageFrameRate);

    // Every component of the time base and the frame rate is positive.
    bool valid() const;
    // One frame's duration in ticks, truncated (0 when invalid).
    std::int64_t ticksPerFrame() const;
    // The first tick at or after the start of frame `frame` (0 when invalid).
    std::int64_t framesToTicks(std::int64_t frame) const;
    // The frame that contains tick `ticks` (truncating; 0 when invalid).
    std::int64_t ticksToFrames(std::int64_t ticks) const;
    // The frame whose start is nearest to `ticks`: for time stamps, which are rounded.
    std::int64_t nearestFrame(std::int64_t ticks) const;
};

// A seek point every this many frames, starting at frame 0.
constexpr std::int64_t seekPointSpacing = 30;

struct FrameCount {
    std::int64_t totalFrames = 0;  // frames of the stream, for the progress fraction
    std::int64_t gridFrames = 0;   // frames covered by the seek grid
};

// streamFrames: the stream's frame count (0 when unknown); streamDuration: the stream's
// duration in ticks (negative when unknown); containerMicroseconds: the container's
// duration (negative when unknown). Without a frame count the container duration is used,
// converted with the frame rate itself, so the count is right for every time base.
FrameCount countFrames(const FrameTiming& timing, std::int64_t streamFrames,
                       std::int64_t streamDuration, std::int64_t containerMicroseconds);

// The tick of every 30th frame below `gridFrames`; empty when the timing is invalid.
std::set<std::int64_t> buildSeekPoints(const FrameTiming& timing, std::int64_t gridFrames);

// The greatest seek point not above `ticks` (the first point when all are above it).
// `points` must not be empty.
std::int64_t seekPointAtOrBefore(const std::set<std::int64_t>& points, std::int64_t ticks);

}  // namespace kalo
