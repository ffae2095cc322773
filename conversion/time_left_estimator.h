#pragma once
// A smoothed estimate of the time a job still needs, from the frame counts that the progress
// polls see (one poll every pollSeconds).
#include <cstdint>
#include <string>

class TimeLeftEstimator {
public:
    static constexpr double pollSeconds = 0.5;

    std::int64_t lastFrames = 0;  // frame count at the last poll that saw a change
    float estimate = 0.0f;        // seconds; may fall below zero when the count passes the total
    int pollsAtChange = 0;        // polls the last change took
    int pollsSinceChange = 0;     // polls since the last change

    // Back to the state before a job's first poll.
    void reset();

    // One poll's frame count (-1: none read) against the expected total + 1. A count that
    // did not change leaves the estimate as it is; a count that went back (a new count, or a
    // glitch) becomes the new base without touching the estimate.
    void observe(std::int64_t frames, std::int64_t totalPlusOne);

    // Whole seconds left: the estimate truncated, 0 when it is below zero.
    std::uint64_t secondsLeft() const;
};

// "剩余<n> 秒钟." below a minute, "剩余<n> 分钟." below an hour, else "剩余<n> 小时.", with
// the texts KALO_LEFT, KALO_SECONDS, KALO_MINUTES and KALO_HOUR of the UI document.
std::string timeLeftPhrase(std::uint64_t seconds);
