#include "converter/pipeline/video_decoder.h"

#include "converter/console/console_log.h"
#include "media/av_error_text.h"
#include "media/decoder_open.h"

namespace kalo::converter {

bool VideoDecoder::open(const AVStream* stream, int threads, std::string& error) {
    LibraryErrorCapture capture;
    stream_ = stream;
    // threads 0: as many as the machine has
    const DecoderOpenResult opened = openDecoder(stream, threads, context_);
    switch (opened.failed) {
    case DecoderOpenResult::Failed::Nothing:
        return true;
    case DecoderOpenResult::Failed::NoDecoder:
        error = std::string("No decoder for the video codec '") + avcodec_get_name(stream->codecpar->codec_id) + "'";
        break;
    case DecoderOpenResult::Failed::Allocate:
        error = "Cannot allocate the video decoder";
        break;
    case DecoderOpenResult::Failed::Parameters:
        error = "Cannot set up the video decoder: " + avErrorText(opened.code);
        break;
    case DecoderOpenResult::Failed::Open:
        error = std::string("Cannot open the ") + opened.codec->name + " decoder: " +
                failureText(opened.code, capture.lastError());
        break;
    }
    return false;
}

bool VideoDecoder::send(const AVPacket* packet, std::string& error) {
    const int ret = avcodec_send_packet(context_.get(), packet);
    if (ret >= 0 || ret == AVERROR_EOF) return true;
    if (ret == AVERROR(ENOMEM)) {
        error = "Out of memory while decoding";
        return false;
    }
    ++failedPackets_;
    consoleLog().message(AV_LOG_WARNING, "Error while decoding the video: " + avErrorText(ret) + "; skipping a packet");
    return true;
}

VideoDecoder::Receive VideoDecoder::receive(AVFrame* frame, std::string& error) {
    const int ret = avcodec_receive_frame(context_.get(), frame);
    if (ret == AVERROR(EAGAIN)) return Receive::NeedMore;
    if (ret == AVERROR_EOF) return Receive::End;
    if (ret < 0) {
        if (ret == AVERROR(ENOMEM)) {
            error = "Out of memory while decoding";
            return Receive::Error;
        }
        ++failedPackets_;
        consoleLog().message(AV_LOG_WARNING, "Error while decoding the video: " + avErrorText(ret));
        return Receive::NeedMore;
    }
    std::int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) pts = lastPts_ == AV_NOPTS_VALUE ? 0 : lastPts_ + lastDuration_;
    if (frame->pkt_duration > 0)
        lastDuration_ = frame->pkt_duration;
    else if (lastPts_ != AV_NOPTS_VALUE && pts > lastPts_)
        lastDuration_ = pts - lastPts_;
    frame->pts = pts;
    lastPts_ = pts;
    return Receive::Frame;
}

VideoFormat VideoDecoder::format() const {
    VideoFormat format;
    format.width = context_->width;
    format.height = context_->height;
    format.pixelFormat = context_->pix_fmt;
    format.timeBase = stream_->time_base;
    format.sampleAspect = context_->sample_aspect_ratio;
    format.frameRate = av_guess_frame_rate(nullptr, const_cast<AVStream*>(stream_), nullptr);
    return format;
}

}  // namespace kalo::converter
