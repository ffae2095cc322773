#pragma once
// What the pipeline's threads share besides their queues: why it should end early, the
// first failure, and the counters the status line and -benchmark read.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

namespace kalo::converter {

class PipelineControl {
public:
    using Clock = std::chrono::steady_clock;

    // A stop request: end early but finish the file. `askedAt` is when the person asked,
    // which may lie a little before the pipeline acts on it; what the stop may still cost
    // counts from then.
    void requestStop(Clock::time_point askedAt = Clock::now()) {
        stopAskedAt_ = askedAt.time_since_epoch().count();
        stopRequested_ = true;
    }
    bool stopRequested() const { return stopRequested_.load(); }
    Clock::time_point stopAskedAt() const { return Clock::time_point(Clock::duration(stopAskedAt_.load())); }

    // A second stop request: skip the rest of the encoder's flush.
    void cutFlushShort() { flushCutShort_ = true; }
    bool flushCutShort() const { return flushCutShort_.load(); }

    // The first failure wins; later ones are consequences.
    void fail(const std::string& message) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failed_) failure_ = message;
        failed_ = true;
    }
    bool failed() const { return failed_.load(); }
    std::string failure() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return failure_;
    }

private:
    std::atomic<Clock::rep> stopAskedAt_{0};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> flushCutShort_{false};
    std::atomic<bool> failed_{false};
    mutable std::mutex mutex_;
    std::string failure_;
};

struct PipelineCounters {
    std::atomic<double> quality{-1};
    // CPU time of the depth and synthesis calls, for -benchmark.
    std::atomic<double> depthCpuSeconds{0};
    std::atomic<std::int64_t> depthFrames{0};
    std::atomic<double> synthesisCpuSeconds{0};
    std::atomic<std::int64_t> synthesisFrames{0};
    // Whole-thread CPU time of the reader (demux, decode, filters before depth, audio) and
    // of the encoder's calling thread (filters after depth, libx264's share, muxing).
    std::atomic<double> readerCpuSeconds{0};
    std::atomic<double> encoderThreadCpuSeconds{0};
};

}  // namespace kalo::converter
