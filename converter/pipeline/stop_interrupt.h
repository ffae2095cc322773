#pragma once
// FFmpeg's interrupt callback tied to the stop requests: a blocking open, read or write of
// an input or output context gives up (AVERROR_EXIT) once enough requests arrived. The
// count needed can be raised later: the output must still be finished after a first stop.
#include <atomic>
#include <climits>
#include <functional>

extern "C" {
#include <libavformat/avio.h>
}

namespace kalo::converter {

class StopInterrupt {
public:
    StopInterrupt(std::function<int()> stopRequests, int requestsNeeded)
        : stopRequests_(std::move(stopRequests)), requestsNeeded_(requestsNeeded) {}
    StopInterrupt(const StopInterrupt&) = delete;
    StopInterrupt& operator=(const StopInterrupt&) = delete;

    // Valid as long as this object lives.
    AVIOInterruptCB callback() { return {&StopInterrupt::check, this}; }

    bool triggered() const { return stopRequests_ && stopRequests_() >= requestsNeeded_.load(); }

    void requireRequests(int count) { requestsNeeded_ = count; }
    void never() { requestsNeeded_ = INT_MAX; }

private:
    static int check(void* self) { return static_cast<const StopInterrupt*>(self)->triggered() ? 1 : 0; }

    std::function<int()> stopRequests_;
    std::atomic<int> requestsNeeded_;
};

}  // namespace kalo::converter
