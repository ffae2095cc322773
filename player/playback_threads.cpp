// The reader thread ("packetDistributorThread") and the decoder thread
// ("videoDecodeThread"). Every wait in them is bounded (1, 10 or 50 ms, a queue wait of at
// most 100 ms, a pacing sleep cut into 10 ms slices), so a stop request is seen within
// about 100 ms whatever they are doing.
#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "player/ffmpeg_helper.h"
#include "player/frame_pacing.h"

namespace {

constexpr Uint32 pausePollMs = 50;
constexpr int sleepSliceMs = 10;

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

// The reader stops the decoder before it ends, so joining the reader joins both.
void FFmpegHelper::stopThreads() {
    requestStop(readerState);
    requestStop(decoderState);
    if (readerThread) {
        SDL_WaitThread(readerThread, nullptr);
        readerThread = nullptr;
    }
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

    while (readerState != ThreadState::StopRequested) {
        if (ended) {
            requestStop(readerState);
            break;
        }
        if (pictureReady && paused && !seekRequested) {
            SDL_Delay(pausePollMs);
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
            SDL_Delay(sleepSliceMs);  // nothing more to read: wait for the decoder's end
        } else if (result == AVERROR(EAGAIN)) {
            SDL_Delay(1);
        }
    }

    queue->flush();
    if (decoderThread) {
        while (decoderState != ThreadState::Stopped) {
            requestStop(decoderState);
            queue->signal();
            SDL_Delay(1);
        }
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

    while (pending && decoded && videoDecoder) {
        while (waitFirstPacket && decoderState != ThreadState::StopRequested) SDL_Delay(1);
        if (decoderState == ThreadState::StopRequested || ended) break;
        if (!waitWhilePaused()) break;

        const PacketQueue::PopResult got = queue->pop(*this, pending);
        if (got == PacketQueue::PopResult::Retry) continue;
        if (decoderState == ThreadState::StopRequested) break;
        if (got == PacketQueue::PopResult::Empty) {
            if (!queue->endOfFile()) {
                SDL_Delay(1);  // the reader is stopping; the next pass sees it
                continue;
            }
            // End of the stream: show every picture the decoder still holds, then end.
            avcodec_send_packet(videoDecoder, nullptr);
            if (receivePictures(decoded) == DecodeStep::Stop) break;
            ended = true;
            seekRequested = false;
            break;
        }

        int result = avcodec_send_packet(videoDecoder, pending);
        if (result == AVERROR(EAGAIN)) {
            if (receivePictures(decoded) == DecodeStep::Stop) break;
            result = avcodec_send_packet(videoDecoder, pending);
        }
        av_packet_unref(pending);
        if (result < 0) continue;  // a packet the decoder refuses is skipped
        if (receivePictures(decoded) == DecodeStep::Stop) break;
    }

    queue->signal();
    av_frame_free(&decoded);
    av_packet_free(&pending);
    decoderState = ThreadState::Stopped;
    return 0;
}

// Decoding errors are reported and skipped: the next packets usually decode again (a
// damaged stretch of a file), and the end of the stream still ends playback.
FFmpegHelper::DecodeStep FFmpegHelper::receivePictures(AVFrame* decoded) {
    for (;;) {
        const Uint32 start = SDL_GetTicks();
        const int result = avcodec_receive_frame(videoDecoder, decoded);
        if (result == AVERROR(EAGAIN)) return DecodeStep::NeedInput;
        if (result == AVERROR_EOF) return DecodeStep::Drained;
        if (result < 0) {
            std::fputs("Error during decoding\n", stderr);
            return DecodeStep::NeedInput;
        }
        showPicture(decoded);
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

void FFmpegHelper::showPicture(AVFrame* decoded) {
    SDL_LockMutex(mutex);
    av_frame_unref(frame);
    av_frame_move_ref(frame, decoded);
    pictureReady = true;
    ++pictureSerial;
    filterCurrentPicture("Filter frame error!\n");
    // Convert here rather than in the render step when the picture needs it, so that the
    // main thread only uploads.
    const bool filtered = activeFilter >= 0 && filteredFrame->data[0];
    uploadablePicture(filtered ? filteredFrame : frame);
    refilter = false;
    const std::int64_t stamp = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
    SDL_UnlockMutex(mutex);

    thumbPending = false;
    if (stamp != AV_NOPTS_VALUE && stamp >= streamStart) {
        position = timing.nearestFrame(stamp - streamStart) + 1;
    }
    seekRequested = false;  // the first picture after a seek is here
}

bool FFmpegHelper::waitWhilePaused() {
    while (pictureReady && paused && !seekRequested) {
        if (decoderState == ThreadState::StopRequested) return false;
        SDL_Delay(pausePollMs);
    }
    return decoderState != ThreadState::StopRequested;
}

void FFmpegHelper::sleepUnlessStopped(int milliseconds) {
    while (milliseconds > 0 && decoderState != ThreadState::StopRequested) {
        const int slice = milliseconds < sleepSliceMs ? milliseconds : sleepSliceMs;
        SDL_Delay(static_cast<Uint32>(slice));
        milliseconds -= slice;
    }
}
