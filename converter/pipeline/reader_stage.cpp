#include "converter/pipeline/reader_stage.h"

#include <algorithm>

#include "converter/console/console_log.h"
#include "converter/console/status_line.h"

namespace kalo::converter {

bool ReaderStage::fail(const std::string& message) {
    p_.control.fail(message);
    p_.queues.abortAll();
    return false;
}

void ReaderStage::run() {
    decoded_ = makeFrame();
    filtered_ = makeFrame();
    if (!decoded_ || !filtered_) {
        fail("Out of memory");
        return;
    }
    if (readLoop()) reachedEnd_ = true;
    p_.output.finish();
}

bool ReaderStage::readLoop() {
    PacketPtr packet = makePacket();
    if (!packet) return fail("Out of memory");
    const AVStream* video = p_.input.videoStream();
    const AVStream* audio = p_.input.audioStream();
    AudioTrack::PacketSink toMuxer = [this](AVPacket* out, AVRational timeBase) {
        std::string error;
        return p_.muxer.queueAudio(out, timeBase, error) || fail(error);
    };

    bool endOfFile = false;
    while (!endOfFile) {
        if (p_.control.stopRequested() || p_.control.failed()) return false;
        std::string error;
        switch (p_.input.read(packet.get(), error)) {
        case MediaInput::Read::End:
            endOfFile = true;
            continue;
        case MediaInput::Read::Interrupted:
            return false;  // a stop: nothing failed
        case MediaInput::Read::Error:
            return fail("Error reading '" + p_.input.path() + "' after " + formatClockTime(lastPacketUs_ / 1e6) +
                        ": " + error + " (the file is truncated or damaged)");
        case MediaInput::Read::Packet:
            break;
        }
        if (packet->stream_index == video->index) {
            if (packet->pts != AV_NOPTS_VALUE)
                lastPacketUs_ = std::max(lastPacketUs_, av_rescale_q(packet->pts, video->time_base, AV_TIME_BASE_Q) -
                                                            p_.input.startOffsetUs());
            if (!videoPastEnd_ && !decodeVideo(packet.get())) return false;
        } else if (audio && p_.audio && packet->stream_index == audio->index) {
            if (!p_.audio->handle(packet.get(), toMuxer, error)) return p_.control.failed() ? false : fail(error);
        }
        av_packet_unref(packet.get());
        if (videoPastEnd_ && (!p_.audio || p_.audio->pastWindowEnd())) break;
    }

    if (!videoPastEnd_ && !decodeVideo(nullptr)) return false;
    std::string error;
    if (!p_.filters.push(nullptr, error)) return fail(error);
    if (!drainFilters()) return false;
    if (p_.audio && !p_.audio->finish(toMuxer, error)) return p_.control.failed() ? false : fail(error);
    return checkComplete();
}

bool ReaderStage::checkComplete() {
    if (picturesOut_ == 0) {
        if (p_.decoder.failedPackets() > 0)
            return fail("No picture of '" + p_.input.path() + "' could be decoded (the file is damaged)");
        return fail("'" + p_.input.path() + "' holds no picture in the requested time range");
    }
    // A file that says it is longer than what could be read was cut short. Only the video
    // stream's own duration is trusted: the container's may include longer audio.
    const AVStream* video = p_.input.videoStream();
    if (!videoPastEnd_ && !p_.window.durationUs && video->duration > 0 && lastVideoEndUs_ >= 0) {
        const std::int64_t declaredEndUs =
            av_rescale_q(video->start_time != AV_NOPTS_VALUE ? video->start_time + video->duration : video->duration,
                         video->time_base, AV_TIME_BASE_Q) - p_.input.startOffsetUs();
        const std::int64_t toleranceUs = std::max<std::int64_t>(500000, declaredEndUs / 20);
        if (declaredEndUs - lastVideoEndUs_ > toleranceUs)
            return fail("'" + p_.input.path() + "' ends at " + formatClockTime(lastVideoEndUs_ / 1e6) + " of its " +
                        formatClockTime(declaredEndUs / 1e6) + " (the file is truncated or damaged)");
    }
    return true;
}

bool ReaderStage::decodeVideo(const AVPacket* packet) {
    std::string error;
    if (!p_.decoder.send(packet, error)) return fail(error);
    for (;;) {
        switch (p_.decoder.receive(decoded_.get(), error)) {
        case VideoDecoder::Receive::NeedMore:
        case VideoDecoder::Receive::End:
            return true;
        case VideoDecoder::Receive::Error:
            return fail(error);
        case VideoDecoder::Receive::Frame:
            break;
        }
        const bool ok = takePicture(decoded_.get());
        av_frame_unref(decoded_.get());
        if (!ok) return false;
        if (videoPastEnd_) return true;
    }
}

bool ReaderStage::takePicture(AVFrame* frame) {
    const AVRational timeBase = p_.input.videoStream()->time_base;
    const std::int64_t fromFileStartUs = av_rescale_q(frame->pts, timeBase, AV_TIME_BASE_Q) - p_.input.startOffsetUs();
    const std::int64_t relativeUs = fromFileStartUs - p_.window.startUs;
    if (p_.window.durationUs && relativeUs >= *p_.window.durationUs) {
        videoPastEnd_ = true;
        return true;
    }
    const std::int64_t durationUs =
        frame->pkt_duration > 0 ? av_rescale_q(frame->pkt_duration, timeBase, AV_TIME_BASE_Q) : 0;
    lastVideoEndUs_ = std::max(lastVideoEndUs_, fromFileStartUs + durationUs);
    if (p_.window.startUs > 0 && relativeUs < 0) return true;  // before the requested start

    frame->pts -= av_rescale_q(p_.input.startOffsetUs() + p_.window.startUs, AV_TIME_BASE_Q, timeBase);
    const VideoFormat& expected = p_.filters.input();
    if (frame->width != expected.width || frame->height != expected.height || frame->format != expected.pixelFormat) {
        if (!rebuildFilters(frame)) return false;
    }
    return filterPicture(frame);
}

bool ReaderStage::filterPicture(AVFrame* frame) {
    std::string error;
    if (!p_.filters.push(frame, error)) return fail(error);
    return drainFilters();
}

bool ReaderStage::drainFilters() {
    std::string error;
    const bool drained = p_.filters.drain(filtered_.get(), [this](FramePtr picture) {
        if (!p_.output.push(std::move(picture))) return false;  // aborted
        ++picturesOut_;
        return true;
    }, error);
    return drained || (!error.empty() && fail(error));
}

// The source changed its picture size or format mid-stream: finish the old graph, then
// build a new one that brings the pictures back to the size the rest of the pipeline and
// the encoder were set up for.
bool ReaderStage::rebuildFilters(const AVFrame* frame) {
    std::string error;
    if (!p_.filters.push(nullptr, error)) return fail(error);
    if (!drainFilters()) return false;
    VideoFormat format = p_.filters.input();
    const VideoFormat target = p_.filters.output();
    format.width = frame->width;
    format.height = frame->height;
    format.pixelFormat = static_cast<AVPixelFormat>(frame->format);
    if (frame->sample_aspect_ratio.num > 0) format.sampleAspect = frame->sample_aspect_ratio;
    std::string text = p_.filters.description();
    text += (text.empty() ? "" : ",") + std::string("scale=") + std::to_string(target.width) + ":" +
            std::to_string(target.height);
    consoleLog().message(kLogWarning, "The source's pictures change to " + std::to_string(frame->width) + "x" +
                                          std::to_string(frame->height) + "; scaling them to " +
                                          std::to_string(target.width) + "x" + std::to_string(target.height));
    if (!p_.filters.configure(text, format, error)) return fail(error);
    return true;
}

}  // namespace kalo::converter
