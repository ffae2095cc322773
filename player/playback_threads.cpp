// The reader thread ("packetDistributorThread") and the decoder thread
// ("videoDecodeThread"). They never sleep to poll a handover: pause, pacing and the wait
// for the end of the stream are waits on the engine's wake condition, which a stop, a
// resume or the end signals; the stop of the decoder is a join. Every wait is bounded
// (50 ms for a pause, one frame for pacing, 100 ms in the packet queue), so a flag written
// without a signal is still seen within about 100 ms.
#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "player/ffmpeg_helper.h"
#include "player/frame_pacing.h"

namespace {

constexpr std::uint32_t pausePollMs = 50;
constexpr std::uint32_t endOfInputWaitMs = 100;

// Asks a running thread to stop. A thread that has already stopped keeps its Stopped: a
// plain store here could overwrite it after the thread's last word, and whoever waits for
// Stopped would then wait forever.
void requestStop(std::atomic<ThreadState>& state) {
    ThreadState running = ThreadState::Running;
    state.compare_exchange_strong(running, ThreadState::StopRequested);
}

}  // namespace

bool FFmpegHelper::startReader() {
    readerThread = SDL_CreateThread(readerEntry, "packetDistributorThread", this);
    return readerThread != nullptr;
}

void FFmpegHelper::beginRun() {
    SDL_LockMutex(mutex);
    runEpoch = pictureEpoch;
    SDL_UnlockMutex(mutex);
    runShowedPicture = false;
    readerState = ThreadState::Running;
    decoderState = ThreadState::Running;
}

void FFmpegHelper::wakeThreads() {
    SDL_LockMutex(wakeMutex);
    SDL_CondBroadcast(wakeCondition);
    SDL_UnlockMutex(wakeMutex);
}

// Whoever changes what `done` reads and then calls wakeThreads cannot be missed: the
// check and the wait happen under `wakeMutex`, which wakeThreads takes to signal.
template <typename Done>
void FFmpegHelper::waitForWake(std::uint32_t milliseconds, Done done) {
    SDL_LockMutex(wakeMutex);
    if (!done()) SDL_CondWaitTimeout(wakeCondition, wakeMutex, milliseconds);
    SDL_UnlockMutex(wakeMutex);
}

// The reader stops the decoder before it ends, so joining the reader joins both.
void FFmpegHelper::stopThreads() {
    requestStop(readerState);
    requestStop(decoderState);
    wakeThreads();
    if (readerThread) {
        SDL_WaitThread(readerThread, nullptr);
        readerThread = nullptr;
    }
}

bool FFmpegHelper::waitForPicture(std::uint32_t limitMs) {
    const Uint32 start = SDL_GetTicks();
    SDL_LockMutex(mutex);
    while (!runShowedPicture && !ended && decoderState != ThreadState::Stopped) {
        const Uint32 elapsed = SDL_GetTicks() - start;
        if (elapsed >= limitMs) break;
        SDL_CondWaitTimeout(pictureShown, mutex, limitMs - elapsed);
    }
    const bool shown = runShowedPicture;
    SDL_UnlockMutex(mutex);
    return shown;
}

int FFmpegHelper::readerEntry(void* engine) {
    return static_cast<FFmpegHelper*>(engine)->readerLoop();
}

int FFmpegHelper::decoderEntry(void* engine) {
    return static_cast<FFmpegHelper*>(engine)->decoderLoop();
}

int FFmpegHelper::readerLoop() {
    const std::shared_ptr<PacketQueue> queue = packetQueue;
    queue->flush();
    decoderThread = SDL_CreateThread(decoderEntry, "videoDecodeThread", this);
    if (!decoderThread) requestStop(readerState);

    auto stopping = [this] { return readerState == ThreadState::StopRequested; };
    while (!stopping()) {
        if (ended) {
            requestStop(readerState);
            break;
        }
        if (runShowedPicture && paused) {
            waitForWake(pausePollMs, [&] { return stopping() || !paused; });
            continue;
        }
        const int result = av_read_frame(formatContext, packet);
        // A read error of a damaged file ends the input like the end of the file does;
        // retrying it would only repeat the error.
        const bool endOfInput = result < 0 && result != AVERROR(EAGAIN);
        readEof = endOfInput;
        if (result >= 0) {
            if (packet->stream_index == videoIndex) queue->push(*this, packet);
            av_packet_unref(packet);  // other streams, or a packet a seek made stale
        }
        waitFirstPacket = false;
        if (endOfInput) {
            queue->setEndOfFile();
            // Nothing more to read: wait for the decoder's end (or a stop).
            waitForWake(endOfInputWaitMs, [&] { return stopping() || ended; });
        } else if (result == AVERROR(EAGAIN)) {
            SDL_Delay(1);  // the demuxer asks to be called again; nothing to wait for
        }
    }

    queue->flush();
    if (decoderThread) {
        requestStop(decoderState);
        queue->signal();  // a pop waiting on the empty queue returns at once
        wakeThreads();
        SDL_WaitThread(decoderThread, nullptr);
        decoderThread = nullptr;
    }
    readerState = ThreadState::Stopped;
    return 0;
}

int FFmpegHelper::decoderLoop() {
    const std::shared_ptr<PacketQueue> queue = packetQueue;
    AVPacket* pending = av_packet_alloc();
    AVFrame* decoded = av_frame_alloc();
    AVFrame* scratch = av_frame_alloc();  // the filtered form of `decoded`
    auto stopping = [this] { return decoderState == ThreadState::StopRequested; };

    // No wait for the reader's first packet: an empty queue's pop waits on the queue's
    // condition, which the reader's first push signals.
    while (pending && decoded && scratch && videoDecoder) {
        if (stopping() || ended) break;
        if (!waitWhilePaused()) break;

        const PacketQueue::PopResult got = queue->pop(*this, pending);
        if (got == PacketQueue::PopResult::Retry) continue;
        if (stopping()) break;
        if (got == PacketQueue::PopResult::Empty) {
            if (!queue->endOfFile()) {
                // The reader is stopping; it asks this thread to stop next.
                waitForWake(pausePollMs, stopping);
                continue;
            }
            // End of the stream: show every picture the decoder still holds, then end.
            avcodec_send_packet(videoDecoder, nullptr);
            if (receivePictures(decoded, scratch) == DecodeStep::Stop) break;
            markEnded();
            break;
        }

        int result = avcodec_send_packet(videoDecoder, pending);
        if (result == AVERROR(EAGAIN)) {
            if (receivePictures(decoded, scratch) == DecodeStep::Stop) break;
            result = avcodec_send_packet(videoDecoder, pending);
        }
        av_packet_unref(pending);
        if (result < 0) continue;  // a packet the decoder refuses is skipped
        if (receivePictures(decoded, scratch) == DecodeStep::Stop) break;
    }

    queue->signal();
    av_frame_free(&scratch);
    av_frame_free(&decoded);
    av_packet_free(&pending);
    SDL_LockMutex(mutex);
    decoderState = ThreadState::Stopped;
    SDL_CondBroadcast(pictureShown);  // nobody waits for a picture that will not come
    SDL_UnlockMutex(mutex);
    wakeThreads();
    return 0;
}

// Decoding errors are reported and skipped: the next packets usually decode again (a
// damaged stretch of a file), and the end of the stream still ends playback.
FFmpegHelper::DecodeStep FFmpegHelper::receivePictures(AVFrame* decoded, AVFrame* scratch) {
    for (;;) {
        const Uint32 start = SDL_GetTicks();
        const int result = avcodec_receive_frame(videoDecoder, decoded);
        if (result == AVERROR(EAGAIN)) return DecodeStep::NeedInput;
        if (result == AVERROR_EOF) return DecodeStep::Drained;
        if (result < 0) {
            std::fputs("Error during decoding\n", stderr);
            return DecodeStep::NeedInput;
        }
        // A seek has moved on from this run: nothing it decodes may be shown any more, and
        // the threads are about to be restarted.
        if (!showPicture(decoded, scratch)) return DecodeStep::Stop;
        if (pacing) {
            AVRational rate = videoDecoder->framerate;
            if (rate.num == 0) rate = videoStream->avg_frame_rate;
            const float fps = rate.den != 0 ? static_cast<float>(rate.num) / static_cast<float>(rate.den)
                                            : 0.0f;
            sleepUnlessStopped(pacingDelayMs(fps, SDL_GetTicks() - start));
        }
        if (decoderState == ThreadState::StopRequested) return DecodeStep::Stop;
        if (!waitWhilePaused()) return DecodeStep::Stop;
    }
}

// The filter runs before `mutex` is taken: the render step on the main thread only ever
// waits for the hand-over, never for a filter graph.
bool FFmpegHelper::showPicture(AVFrame* decoded, AVFrame* scratch) {
    if (beforePicturePublished) beforePicturePublished();
    const int index = activeFilter;
    const std::uint64_t selection = filterSelection;
    const bool filtered = runFilter(decoded, index, scratch, "Filter frame error!\n");

    SDL_LockMutex(mutex);
    if (runEpoch != pictureEpoch) {
        SDL_UnlockMutex(mutex);
        av_frame_unref(decoded);
        av_frame_unref(scratch);
        return false;
    }
    av_frame_unref(frame);
    av_frame_move_ref(frame, decoded);
    if (filtered && selection == filterSelection) {
        av_frame_unref(filteredFrame);
        av_frame_move_ref(filteredFrame, scratch);
        refilter = false;
    } else if (index >= 0) {
        // No filtered form for this picture (graph still building, or the selection moved
        // on): an older picture's filtered form must not stand in for it.
        av_frame_unref(filteredFrame);
    }
    av_frame_unref(scratch);
    ++pictureSerial;
    // Convert here rather than in the render step when the picture needs it, so that the
    // main thread only uploads.
    const bool showFiltered = activeFilter >= 0 && filteredFrame->data[0];
    uploadablePicture(showFiltered ? filteredFrame : frame);
    const std::int64_t stamp = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
    // Position first, then the flags that announce the picture: whoever sees them sees the
    // picture's own position.
    if (stamp != AV_NOPTS_VALUE && stamp >= streamStart) {
        position = timing.nearestFrame(stamp - streamStart) + 1;
    }
    pictureReady = true;
    runShowedPicture = true;
    thumbPending = false;
    seekRequested = false;  // the first picture after a seek is here
    SDL_CondBroadcast(pictureShown);
    SDL_UnlockMutex(mutex);
    return true;
}

void FFmpegHelper::markEnded() {
    SDL_LockMutex(mutex);
    // A run a seek has left behind does not end the playback the seek is starting.
    if (runEpoch == pictureEpoch) {
        ended = true;
        seekRequested = false;
    }
    SDL_CondBroadcast(pictureShown);
    SDL_UnlockMutex(mutex);
    wakeThreads();  // the reader waits for the end
}

// Until this run has shown a picture the decoder works even while paused: the picture of
// a new file, a seek or a replay must appear.
bool FFmpegHelper::waitWhilePaused() {
    auto stopping = [this] { return decoderState == ThreadState::StopRequested; };
    while (runShowedPicture && paused && !stopping()) {
        waitForWake(pausePollMs, [&] { return stopping() || !paused; });
    }
    return !stopping();
}

void FFmpegHelper::sleepUnlessStopped(int milliseconds) {
    if (milliseconds <= 0) return;
    const Uint32 deadline = SDL_GetTicks() + static_cast<Uint32>(milliseconds);
    SDL_LockMutex(wakeMutex);
    while (decoderState != ThreadState::StopRequested) {
        const auto left = static_cast<std::int32_t>(deadline - SDL_GetTicks());
        if (left <= 0) break;
        SDL_CondWaitTimeout(wakeCondition, wakeMutex, static_cast<Uint32>(left));
    }
    SDL_UnlockMutex(wakeMutex);
}
