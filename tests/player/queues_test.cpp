// The packet queue's soft limit and bounded waits, and the render queue's order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" {
#include <libavcodec/packet.h>
}

#include "player/packet_queue.h"
#include "player/render_queue.h"

namespace {

// A packet carrying one payload byte, so that a moved reference is visible.
AVPacket* newPacket(int marker) {
    AVPacket* packet = av_packet_alloc();
    av_new_packet(packet, 1);
    packet->data[0] = static_cast<std::uint8_t>(marker);
    return packet;
}

Uint32 millisecondsOf(const std::function<void()>& action) {
    const Uint32 start = SDL_GetTicks();
    action();
    return SDL_GetTicks() - start;
}

class PacketQueueTest : public testing::Test {
public:
    void fill(int count) {
        for (int i = 0; i < count; ++i) {
            AVPacket* packet = newPacket(i);
            ASSERT_EQ(queue.push(flags, packet), 0);
            EXPECT_EQ(packet->data, nullptr) << "the queue takes the reference";
            av_packet_free(&packet);
        }
    }

    PlaybackFlags flags;
    PacketQueue queue;
    AVPacket* out = av_packet_alloc();
    ~PacketQueueTest() override { av_packet_free(&out); }
};

TEST_F(PacketQueueTest, PopsInOrderAndMovesReferences) {
    fill(3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(queue.pop(flags, out), PacketQueue::PopResult::Packet);
        ASSERT_NE(out->data, nullptr);
        EXPECT_EQ(out->data[0], i);
    }
    EXPECT_EQ(queue.size(), 0);
}

TEST_F(PacketQueueTest, SoftLimitWaitsOnceThenAppends) {
    fill(128);
    AVPacket* packet = newPacket(200);
    // 128 queued: the 129th goes in at once.
    EXPECT_LT(millisecondsOf([&] { EXPECT_EQ(queue.push(flags, packet), 0); }), 80u);
    EXPECT_EQ(queue.size(), 129);
    // 129 queued: the next push waits for the decoder (here: 100 ms), then appends anyway.
    av_new_packet(packet, 1);
    const Uint32 waited = millisecondsOf([&] { EXPECT_EQ(queue.push(flags, packet), 0); });
    EXPECT_GE(waited, 90u);
    EXPECT_LT(waited, 1000u);
    EXPECT_EQ(queue.size(), 130);
    av_packet_free(&packet);
}

TEST_F(PacketQueueTest, FullQueueDropsThePacketWhileASeekIsRequested) {
    fill(129);
    flags.seekRequested = true;
    AVPacket* packet = newPacket(1);
    EXPECT_EQ(queue.push(flags, packet), -1);
    EXPECT_NE(packet->data, nullptr) << "a refused packet stays with the caller";
    EXPECT_EQ(queue.size(), 129);
    av_packet_free(&packet);
}

TEST_F(PacketQueueTest, EmptyQueueWaitsBoundedWhileReadingThenDrainsAtEnd) {
    const Uint32 waited = millisecondsOf(
        [&] { EXPECT_EQ(queue.pop(flags, out), PacketQueue::PopResult::Retry); });
    EXPECT_GE(waited, 90u);
    EXPECT_LT(waited, 1000u);

    queue.setEndOfFile();
    EXPECT_LT(millisecondsOf(
                  [&] { EXPECT_EQ(queue.pop(flags, out), PacketQueue::PopResult::Empty); }),
              80u);
    EXPECT_EQ(out->data, nullptr);
    EXPECT_EQ(out->size, 0);

    // A replay or seek starts its reader with a flush: the decoder waits again.
    queue.flush();
    EXPECT_FALSE(queue.endOfFile());
    EXPECT_EQ(queue.pop(flags, out), PacketQueue::PopResult::Retry);
}

TEST_F(PacketQueueTest, StoppedReaderMakesAnEmptyPopReturnAtOnce) {
    flags.readerState = ThreadState::StopRequested;
    EXPECT_LT(millisecondsOf(
                  [&] { EXPECT_EQ(queue.pop(flags, out), PacketQueue::PopResult::Empty); }),
              80u);
    EXPECT_FALSE(queue.endOfFile());
}

TEST_F(PacketQueueTest, WaitingPopWakesOnPush) {
    SDL_Thread* pusher = SDL_CreateThread(
        [](void* data) {
            SDL_Delay(20);
            auto* test = static_cast<PacketQueueTest*>(data);
            AVPacket* packet = newPacket(7);
            test->queue.push(test->flags, packet);
            av_packet_free(&packet);
            return 0;
        },
        "pusher", this);
    PacketQueue::PopResult result = PacketQueue::PopResult::Retry;
    const Uint32 start = SDL_GetTicks();
    while (result == PacketQueue::PopResult::Retry && SDL_GetTicks() - start < 2000) {
        result = queue.pop(flags, out);
    }
    SDL_WaitThread(pusher, nullptr);
    ASSERT_EQ(result, PacketQueue::PopResult::Packet);
    EXPECT_EQ(out->data[0], 7);
}

TEST(RenderQueue, SyncsThenDrawsEachEntryInOrder) {
    std::vector<std::string> calls;
    auto recordingEntry = [&calls](const std::string& name, SDL_Texture* texture) {
        return RenderData::create(
            [&calls, name](SDL_Renderer** renderer, SDL_Rect* rect, SDL_Texture* drawn) {
                calls.push_back(name + " draw " + std::to_string(rect->w) + " " +
                                (drawn ? "new" : "none"));
                EXPECT_EQ(*renderer, reinterpret_cast<SDL_Renderer*>(0x1234));
            },
            SDL_Rect{0, 0, name == "first" ? 10 : 20, 5}, texture);
    };
    auto first = recordingEntry("first", nullptr);
    auto second = recordingEntry("second", nullptr);
    second->pendingTexture = reinterpret_cast<SDL_Texture*>(0x42);  // taken over by sync

    RenderQueue queue(nullptr, reinterpret_cast<SDL_Renderer*>(0x1234));
    queue.add(first);
    queue.add(second);
    queue.renderAll();
    EXPECT_EQ(calls, (std::vector<std::string>{"first draw 10 none", "second draw 20 new"}));
    EXPECT_EQ(second->texture, reinterpret_cast<SDL_Texture*>(0x42));
}

}  // namespace
