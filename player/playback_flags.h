#pragma once
// The flags that the main thread and the preview's reader and decoder threads share. They
// are atomics because no lock orders them; each is written where its comment says.
#include <atomic>
#include <cstdint>

#include "player/thread_state.h"

struct PlaybackFlags {
    std::atomic<bool> ended{false};            // decoder: the stream is fully shown
    std::atomic<bool> paused{false};           // main: playback waits on the last picture
    std::atomic<bool> seekRequested{false};    // main sets; decoder clears with the first
                                               // picture after the seek
    std::atomic<bool> waitFirstPacket{true};   // reader clears after its first read
    std::atomic<bool> readEof{false};          // reader: the last read hit the end
    std::atomic<bool> refilter{false};         // the current picture needs the filter again
    std::atomic<bool> thumbPending{false};     // main sets; decoder clears with a picture
    std::atomic<bool> pictureReady{false};     // the engine's `frame` holds a picture
    std::atomic<ThreadState> readerState{ThreadState::Running};
    std::atomic<ThreadState> decoderState{ThreadState::Running};
    std::atomic<std::int64_t> position{0};     // current frame number
};
