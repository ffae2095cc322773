#pragma once
// The stop handshake of the preview's worker threads. The values are fixed: they are
// compared and printed as numbers.
#include <cstdint>

enum class ThreadState : std::int32_t {
    Running = 0,
    StopRequested = 1,
    Stopped = 2,
};
