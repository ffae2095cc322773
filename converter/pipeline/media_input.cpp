#include "converter/pipeline/media_input.h"

#include <cmath>

extern "C" {
#include <libavutil/display.h>
#include <libavutil/time.h>
}

#include "converter/console/console_log.h"

namespace kalo::converter {

bool MediaInput::open(const std::string& path, const AVIOInterruptCB& interrupt, std::string& error) {
    path_ = path;
    LibraryErrorCapture capture;
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        error = path + ": " + avErrorText(AVERROR(ENOMEM));
        return false;
    }
    // Set before the open, so that the open itself can be interrupted (a FIFO with no writer
    // blocks right there). avformat_open_input frees the context when it fails.
    raw->interrupt_callback = interrupt;
    int ret = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (ret < 0) {
        error = path + ": " + avErrorText(ret);
        if (!capture.lastError().empty() && ret == AVERROR_INVALIDDATA)
            error += " (" + capture.lastError() + ")";
        return false;
    }
    context_.reset(raw);
    ret = avformat_find_stream_info(raw, nullptr);
    if (ret < 0) {
        error = path + ": cannot read the stream information: " + failureText(ret, capture.lastError());
        return false;
    }
    const int video = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    // A cover picture of a music file is not a video.
    if (video < 0 || (raw->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
        error = path + ": no video stream found";
        return false;
    }
    videoStream_ = raw->streams[video];
    if (videoStream_->codecpar->width <= 0 || videoStream_->codecpar->height <= 0) {
        error = path + ": the video stream has no picture size (damaged file?)";
        return false;
    }
    const int audio = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
    audioStream_ = audio >= 0 ? raw->streams[audio] : nullptr;
    for (unsigned i = 0; i < raw->nb_streams; ++i)
        if (raw->streams[i] != videoStream_ && raw->streams[i] != audioStream_)
            raw->streams[i]->discard = AVDISCARD_ALL;
    startOffsetUs_ = raw->start_time != AV_NOPTS_VALUE ? raw->start_time : 0;
    return true;
}

void MediaInput::seekTo(std::int64_t startUs) {
    if (startUs <= 0) return;
    const std::int64_t target = startUs + startOffsetUs_;
    if (avformat_seek_file(context_.get(), -1, INT64_MIN, target, target, 0) < 0)
        consoleLog().message(AV_LOG_WARNING, path_ + ": could not seek; reading from the start instead");
}

MediaInput::Read MediaInput::read(AVPacket* packet, std::string& error) {
    for (;;) {
        const int ret = av_read_frame(context_.get(), packet);
        if (ret >= 0) return Read::Packet;
        const AVIOInterruptCB& interrupt = context_->interrupt_callback;
        if (ret == AVERROR_EXIT || (interrupt.callback && interrupt.callback(interrupt.opaque))) {
            error = "interrupted";
            return Read::Interrupted;
        }
        if (ret == AVERROR(EAGAIN)) {
            av_usleep(10000);
            continue;
        }
        if (ret == AVERROR_EOF) return Read::End;
        error = avErrorText(ret);
        return Read::Error;
    }
}

std::int64_t MediaInput::declaredDurationUs() const {
    if (videoStream_ && videoStream_->duration > 0)
        return av_rescale_q(videoStream_->duration, videoStream_->time_base, AV_TIME_BASE_Q);
    return context_ && context_->duration > 0 ? context_->duration : 0;
}

int MediaInput::displayRotation() const {
    const uint8_t* matrix = av_stream_get_side_data(videoStream_, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    if (!matrix) return 0;
    // av_display_rotation_get gives the counter-clockwise angle that undoes the rotation.
    const double angle = -av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(angle)) return 0;
    int degrees = static_cast<int>(std::lround(angle / 90.0)) * 90 % 360;
    if (degrees < 0) degrees += 360;
    return degrees;
}

}  // namespace kalo::converter
