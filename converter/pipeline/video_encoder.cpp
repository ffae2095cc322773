#include "converter/pipeline/video_encoder.h"

extern "C" {
#include <libavutil/intreadwrite.h>
#include <libavutil/opt.h>
}

#include "converter/console/console_log.h"
#include "media/av_error_text.h"

namespace kalo::converter {

bool VideoEncoder::open(const VideoFormat& format, const VideoEncoderSettings& settings, std::string& error) {
    LibraryErrorCapture capture;
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        error = "The libx264 encoder is not available in this FFmpeg build";
        return false;
    }
    context_.reset(avcodec_alloc_context3(codec));
    packet_ = makePacket();
    if (!context_ || !packet_) {
        error = "Cannot allocate the video encoder";
        return false;
    }
    AVCodecContext* c = context_.get();
    c->width = format.width;
    c->height = format.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->sample_aspect_ratio = format.sampleAspect;
    c->time_base = format.timeBase;
    if (format.frameRate.num > 0 && format.frameRate.den > 0) {
        c->framerate = format.frameRate;
        nominalDuration_ = av_rescale_q(1, av_inv_q(format.frameRate), format.timeBase);
    }
    c->thread_count = settings.threads;  // 0 lets x264 choose, as FFmpeg's own tool does
    if (settings.bitRate > 0) c->bit_rate = settings.bitRate;
    if (settings.globalHeader) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* options = nullptr;
    if (!settings.profile.empty()) av_dict_set(&options, "profile", settings.profile.c_str(), 0);
    if (!settings.preset.empty()) av_dict_set(&options, "preset", settings.preset.c_str(), 0);
    if (settings.sideBySide) av_dict_set(&options, "x264-params", "frame-packing=3", 0);
    const int ret = avcodec_open2(c, codec, &options);
    av_dict_free(&options);
    if (ret < 0) {
        error = "Cannot open the libx264 encoder: " + failureText(ret, capture.lastError());
        return false;
    }
    return true;
}

bool VideoEncoder::encode(FramePtr frame, const PacketSink& sink, std::string& error) {
    if (held_) {
        std::int64_t duration = frame->pts - held_->pts;
        if (duration <= 0) duration = lastDuration_ > 0 ? lastDuration_ : nominalDuration_;
        lastDuration_ = duration;
        if (!send(held_.get(), duration, sink, error)) return false;
    }
    held_ = std::move(frame);
    return true;
}

bool VideoEncoder::finish(const PacketSink& sink, const std::function<bool()>& keepGoing, std::string& error) {
    if (held_) {
        std::int64_t duration = lastDuration_ > 0 ? lastDuration_ : nominalDuration_;
        if (duration <= 0) duration = held_->pkt_duration > 0 ? held_->pkt_duration : 1;
        if (!send(held_.get(), duration, sink, error)) return false;
        held_.reset();
    }
    const int ret = avcodec_send_frame(context_.get(), nullptr);
    if (ret < 0 && ret != AVERROR_EOF) {
        error = "libx264 flush failed: " + avErrorText(ret);
        return false;
    }
    return receive(sink, error, &keepGoing);
}

bool VideoEncoder::send(AVFrame* frame, std::int64_t duration, const PacketSink& sink, std::string& error) {
    durations_[frame->pts] = duration;
    frame->pict_type = AV_PICTURE_TYPE_NONE;  // keyframes are the encoder's choice
    const int ret = avcodec_send_frame(context_.get(), frame);
    if (ret < 0) {
        error = "libx264 encoding failed: " + avErrorText(ret);
        return false;
    }
    return receive(sink, error, nullptr);
}

bool VideoEncoder::receive(const PacketSink& sink, std::string& error, const std::function<bool()>* keepGoing) {
    for (;;) {
        if (keepGoing && !(*keepGoing)()) return true;
        const int ret = avcodec_receive_packet(context_.get(), packet_.get());
        if (ret == AVERROR_EOF) drained_ = true;
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return true;
        if (ret < 0) {
            error = "libx264 encoding failed: " + avErrorText(ret);
            return false;
        }
        const auto found = durations_.find(packet_->pts);
        if (found != durations_.end()) {
            packet_->duration = found->second;
            durations_.erase(found);
        }
        size_t size = 0;
        const uint8_t* stats = av_packet_get_side_data(packet_.get(), AV_PKT_DATA_QUALITY_STATS, &size);
        if (stats && size >= 4) {
            const auto lambda = static_cast<std::int32_t>(AV_RL32(stats));
            if (lambda >= 0) lastQuality_ = static_cast<double>(lambda) / FF_QP2LAMBDA;
        }
        const bool ok = sink(packet_.get());
        av_packet_unref(packet_.get());
        if (!ok) return false;
    }
}

}  // namespace kalo::converter
