#include "media/frame_timing.h"

#include <iterator>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

namespace kalo {
namespace {

bool positive(AVRational value) { return value.num > 0 && value.den > 0; }

// tb.num * fr.num and tb.den * fr.den: products of two positive int32 values, which fit an
// int64; av_rescale_rnd then multiplies in 128 bits.
std::int64_t framesPerTickNumerator(const FrameTiming& t) {
    return std::int64_t(t.timeBase.num) * t.frameRate.num;
}
std::int64_t framesPerTickDenominator(const FrameTiming& t) {
    return std::int64_t(t.timeBase.den) * t.frameRate.den;
}

std::int64_t framesToTicksRounded(const FrameTiming& t, std::int64_t frames, AVRounding rounding) {
    if (!t.valid()) return 0;
    return av_rescale_rnd(frames, framesPerTickDenominator(t), framesPerTickNumerator(t), rounding);
}

std::int64_t ticksToFramesRounded(const FrameTiming& t, std::int64_t ticks, AVRounding rounding) {
    if (!t.valid()) return 0;
    return av_rescale_rnd(ticks, framesPerTickNumerator(t), framesPerTickDenominator(t), rounding);
}

}  // namespace

FrameTiming FrameTiming::of(AVRational timeBase, AVRational realFrameRate,
                            AVRational averageFrameRate) {
    FrameTiming timing;
    timing.timeBase = timeBase;
    timing.frameRate = positive(realFrameRate) ? realFrameRate : averageFrameRate;
    return timing;
}

bool FrameTiming::valid() const { return positive(timeBase) && positive(frameRate); }

std::int64_t FrameTiming::ticksPerFrame() const {
    return framesToTicksRounded(*this, 1, AV_ROUND_ZERO);
}

// Rounded up, so that converting the result back with ticksToFrames gives `frame` again
// whenever a frame lasts at least one tick.
std::int64_t FrameTiming::framesToTicks(std::int64_t frame) const {
    return framesToTicksRounded(*this, frame, AV_ROUND_UP);
}

std::int64_t FrameTiming::ticksToFrames(std::int64_t ticks) const {
    return ticksToFramesRounded(*this, ticks, AV_ROUND_ZERO);
}

std::int64_t FrameTiming::nearestFrame(std::int64_t ticks) const {
    return ticksToFramesRounded(*this, ticks, AV_ROUND_NEAR_INF);
}

FrameCount countFrames(const FrameTiming& timing, std::int64_t streamFrames,
                       std::int64_t streamDuration, std::int64_t containerMicroseconds) {
    FrameCount count;
    if (!timing.valid()) {
        // Without a usable clock only the stream's own count is known, and no grid.
        count.totalFrames = streamFrames > 0 ? streamFrames : 0;
        return count;
    }
    if (streamFrames > 0) {
        count.totalFrames =
            streamDuration > 0 ? timing.ticksToFrames(streamDuration) : streamFrames;
        count.gridFrames = streamFrames;
        return count;
    }
    if (containerMicroseconds >= 1000) {  // at least one millisecond
        const AVRational rate = timing.frameRate;
        count.totalFrames = av_rescale_rnd(containerMicroseconds, rate.num,
                                           std::int64_t(rate.den) * AV_TIME_BASE, AV_ROUND_ZERO);
        count.gridFrames = count.totalFrames;
    }
    return count;
}

std::set<std::int64_t> buildSeekPoints(const FrameTiming& timing, std::int64_t gridFrames) {
    std::set<std::int64_t> points;
    if (!timing.valid()) return points;
    for (std::int64_t frame = 0; frame < gridFrames; frame += seekPointSpacing) {
        points.insert(timing.framesToTicks(frame));
    }
    return points;
}

std::int64_t seekPointAtOrBefore(const std::set<std::int64_t>& points, std::int64_t ticks) {
    auto above = points.upper_bound(ticks);
    if (above == points.begin()) return *above;
    return *std::prev(above);
}

}  // namespace kalo
