#include "conversion/time_left_estimator.h"

#include "config/json_base.h"

void TimeLeftEstimator::reset() { *this = TimeLeftEstimator(); }

void TimeLeftEstimator::observe(std::int64_t frames, std::int64_t totalPlusOne) {
    ++pollsSinceChange;
    if (frames < 0 || frames == lastFrames) return;
    if (frames < lastFrames) {
        lastFrames = frames;
        pollsSinceChange = 0;
        return;
    }
    // The frames gained over the polls since the previous change give the rate; the
    // remaining frames at that rate give the time, in seconds of poll interval.
    pollsAtChange = pollsSinceChange;
    const double remaining = static_cast<double>(totalPlusOne - frames);
    const double gained = static_cast<double>(frames - lastFrames);
    const double sample = remaining / gained * pollsAtChange * pollSeconds;
    estimate = static_cast<float>(lastFrames > 0 ? (sample + estimate) * 0.5 : sample);
    lastFrames = frames;
    pollsSinceChange = 0;
}

std::uint64_t TimeLeftEstimator::secondsLeft() const {
    if (!(estimate > 0.0f)) return 0;  // below zero, zero, or not a number
    constexpr float ceiling = 1.0e12f;  // beyond any real job; keeps the conversion defined
    return static_cast<std::uint64_t>(estimate < ceiling ? estimate : ceiling);
}

std::string timeLeftPhrase(std::uint64_t seconds) {
    if (seconds < 60) {
        return otherText("KALO_LEFT") + std::to_string(seconds) + otherText("KALO_SECONDS");
    }
    if (seconds < 3600) {
        return otherText("KALO_LEFT") + std::to_string(seconds / 60) + otherText("KALO_MINUTES");
    }
    return otherText("KALO_LEFT") + std::to_string(seconds / 3600) + otherText("KALO_HOUR");
}
