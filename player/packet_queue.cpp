#include "player/packet_queue.h"

extern "C" {
#include <libavcodec/packet.h>
}

namespace {

class QueueLock {
public:
    explicit QueueLock(SDL_mutex* mutex) : mutex(mutex) { SDL_LockMutex(mutex); }
    ~QueueLock() { SDL_UnlockMutex(mutex); }
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

private:
    SDL_mutex* mutex;
};

}  // namespace

PacketQueue::PacketQueue(int capacity)
    : queueMutex(SDL_CreateMutex()), queueCond(SDL_CreateCond()), capacity(capacity) {}

PacketQueue::~PacketQueue() {
    flush();
    SDL_DestroyCond(queueCond);
    SDL_DestroyMutex(queueMutex);
}

int PacketQueue::push(const PlaybackFlags& flags, AVPacket* source) {
    AVPacket* queued = av_packet_alloc();
    QueueLock lock(queueMutex);
    if (static_cast<std::int32_t>(packets.size()) > capacity) {
        SDL_CondWaitTimeout(queueCond, queueMutex, waitLimitMs);
        if (flags.seekRequested) {
            av_packet_free(&queued);
            SDL_CondSignal(queueCond);
            return -1;
        }
    }
    if (queued) {
        av_packet_move_ref(queued, source);
        packets.push_back(queued);
    }
    SDL_CondSignal(queueCond);
    return 0;
}

PacketQueue::PopResult PacketQueue::pop(const PlaybackFlags& flags, AVPacket* out) {
    av_packet_unref(out);
    QueueLock lock(queueMutex);
    PopResult result;
    if (!packets.empty()) {
        AVPacket* oldest = packets.front();
        packets.pop_front();
        av_packet_move_ref(out, oldest);
        av_packet_free(&oldest);
        result = PopResult::Packet;
    } else if (flags.readerState == ThreadState::Running && !endOfFileMark) {
        SDL_CondWaitTimeout(queueCond, queueMutex, waitLimitMs);
        result = PopResult::Retry;
    } else {
        result = PopResult::Empty;
    }
    SDL_CondSignal(queueCond);
    return result;
}

void PacketQueue::flush() {
    QueueLock lock(queueMutex);
    for (AVPacket* packet : packets) av_packet_free(&packet);
    packets.clear();
    endOfFileMark = false;
}

void PacketQueue::setEndOfFile() { endOfFileMark = true; }

bool PacketQueue::endOfFile() const { return endOfFileMark; }

void PacketQueue::signal() {
    QueueLock lock(queueMutex);
    SDL_CondSignal(queueCond);
}

int PacketQueue::size() const {
    QueueLock lock(queueMutex);
    return static_cast<int>(packets.size());
}
