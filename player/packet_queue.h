#pragma once
// Compressed video packets on their way from the reader thread to the decoder thread.
// Soft-bounded: above `capacity` a push waits once for the decoder (at most 100 ms) and
// then appends anyway; no call ever waits longer than 100 ms, so both threads keep seeing
// their stop flags.
#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <list>

#include "player/playback_flags.h"

struct AVPacket;

class PacketQueue {
public:
    static constexpr int defaultCapacity = 128;
    static constexpr std::uint32_t waitLimitMs = 100;

    enum class PopResult {
        Packet,  // the oldest packet was moved into the out packet
        Retry,   // nothing yet; the reader is still reading
        Empty,   // nothing, and nothing more is coming (end of file or reader stopping);
                 // the out packet is blank
    };

    explicit PacketQueue(int capacity = defaultCapacity);
    ~PacketQueue();
    PacketQueue(const PacketQueue&) = delete;
    PacketQueue& operator=(const PacketQueue&) = delete;

    // Reader side. Takes the source packet's reference (leaving it blank) and returns 0, or
    // returns -1 without taking it when it had to wait while a seek was requested.
    int push(const PlaybackFlags& flags, AVPacket* source);
    // Decoder side.
    PopResult pop(const PlaybackFlags& flags, AVPacket* out);

    // Frees every queued packet and clears the end-of-file mark.
    void flush();
    void setEndOfFile();
    bool endOfFile() const;
    // Wakes a push or pop that is waiting, so that it can look at the stop flags.
    void signal();
    int size() const;

private:
    std::atomic<bool> endOfFileMark{false};
    std::list<AVPacket*> packets;
    SDL_mutex* queueMutex = nullptr;
    SDL_cond* queueCond = nullptr;
    int capacity;
};
