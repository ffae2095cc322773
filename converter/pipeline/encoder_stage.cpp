#include "converter/pipeline/encoder_stage.h"

#include <chrono>
#include <optional>

#include "converter/cli/converter_options.h"
#include "converter/console/console_log.h"

namespace kalo::converter {

bool EncoderStage::fail(const std::string& message) {
    p_.control.fail(message);
    p_.queues.abortAll();
    return false;
}

std::chrono::steady_clock::duration EncoderStage::stopFlushBudget() {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(kStopFlushBudgetSeconds));
}

bool EncoderStage::writePacket(AVPacket* packet) {
    p_.counters.quality = p_.encoder.lastQuality();
    std::string error;
    return p_.muxer.writeVideo(packet, p_.encoder.context()->time_base, error) || fail(error);
}

void EncoderStage::run() {
    filtered_ = makeFrame();
    if (!filtered_) {
        fail("Out of memory");
        finished_ = true;
        return;
    }
    FramePtr picture;
    for (;;) {
        const PopResult popped = p_.input.pop(picture);
        if (popped == PopResult::Aborted) {
            if (!p_.control.failed()) finishStopped();
            finished_ = true;
            return;
        }
        if (popped == PopResult::End) break;
        std::string error;
        if (!p_.filters.push(picture.get(), error) || !drainFilters()) {
            if (!error.empty()) fail(error);
            finished_ = true;
            return;
        }
    }
    std::string error;
    const VideoEncoder::PacketSink sink = [this](AVPacket* packet) { return writePacket(packet); };
    if (!p_.filters.push(nullptr, error)) {
        fail(error);
    } else if (drainFilters()) {
        // The end of the input: every delayed picture comes out, unless a stop arrives
        // meanwhile, which bounds the rest of the flush as for any stop.
        std::optional<std::chrono::steady_clock::time_point> deadline;
        const auto keepGoing = [&] {
            if (!p_.control.stopRequested()) return true;
            if (!deadline) deadline = p_.control.stopAskedAt() + stopFlushBudget();
            return !p_.control.flushCutShort() && std::chrono::steady_clock::now() < *deadline;
        };
        if (!p_.encoder.finish(sink, keepGoing, error)) {
            if (!p_.control.failed()) fail(error);
        } else if (!p_.control.failed() && p_.encoder.drained()) {
            // Whether or not a stop came meanwhile: every picture is in the file.
            flushedFully_ = true;
        }
    }
    finished_ = true;
}

bool EncoderStage::drainFilters() {
    std::string error;
    const bool drained = p_.filters.drain(
        filtered_.get(), [this](FramePtr picture) { return encode(std::move(picture)); }, error);
    return drained || (!error.empty() && fail(error));
}

bool EncoderStage::encode(FramePtr picture) {
    // A damaged source can repeat or reorder timestamps; the container needs them rising.
    if (lastPts_ != AV_NOPTS_VALUE && picture->pts <= lastPts_) {
        consoleLog().message(kLogWarning, "Dropping a picture whose timestamp does not follow the previous one");
        return true;
    }
    lastPts_ = picture->pts;
    std::string error;
    const VideoEncoder::PacketSink sink = [this](AVPacket* packet) { return writePacket(packet); };
    if (!p_.encoder.encode(std::move(picture), sink, error)) return p_.control.failed() ? false : fail(error);
    return true;
}

// Stopped: what waits in the filters is dropped; the encoder's delayed pictures are
// flushed until the budget runs out or a second stop request arrives.
void EncoderStage::finishStopped() {
    const auto deadline = p_.control.stopAskedAt() + stopFlushBudget();
    const auto keepGoing = [&] {
        return !p_.control.flushCutShort() && std::chrono::steady_clock::now() < deadline;
    };
    const VideoEncoder::PacketSink sink = [this](AVPacket* packet) { return writePacket(packet); };
    std::string error;
    if (!p_.encoder.finish(sink, keepGoing, error) && !p_.control.failed()) fail(error);
}

}  // namespace kalo::converter
