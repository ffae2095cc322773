#include "converter/pipeline/media_input.h"

extern "C" {
#include <libavutil/time.h>
}

#include "converter/console/console_log.h"
#include "media/av_error_text.h"
#include "media/source_streams.h"
#include "media/stream_rotation.h"

namespace kalo::converter {

bool MediaInput::open(const std::string& path, const AVIOInterruptCB& interrupt, std::string& error) {
    path_ = path;
    LibraryErrorCapture capture;
    SourceStreams source;
    int code = 0;
    switch (openSource(path, &interrupt, source, code)) {
    case SourceOpenResult::Opened:
        break;
    case SourceOpenResult::Unreadable:
        error = path + ": " + avErrorText(code);
        if (!capture.lastError().empty() && code == AVERROR_INVALIDDATA)
            error += " (" + capture.lastError() + ")";
        return false;
    case SourceOpenResult::NoStreamInfo:
        error = path + ": cannot read the stream information: " + failureText(code, capture.lastError());
        return false;
    case SourceOpenResult::NoVideo:
        error = path + ": no video stream found";
        return false;
    case SourceOpenResult::NoPictureSize:
        error = path + ": the video stream has no picture size (damaged file?)";
        return false;
    }
    context_ = std::move(source.context);
    videoStream_ = source.video;
    audioStream_ = source.audio;
    startOffsetUs_ = context_->start_time != AV_NOPTS_VALUE ? context_->start_time : 0;
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

int MediaInput::displayRotation() const { return streamRotation(videoStream_); }

}  // namespace kalo::converter
