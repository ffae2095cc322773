#include "converter/pipeline/output_muxer.h"

#include <limits>

extern "C" {
#include <libavutil/stereo3d.h>
}

#include "converter/console/console_log.h"
#include "converter/pipeline/audio_track.h"
#include "media/av_error_text.h"

namespace kalo::converter {

OutputMuxer::~OutputMuxer() { abandon(); }

bool OutputMuxer::open(const std::string& url, const AVOutputFormat* format, const AVCodecContext* video,
                       bool sideBySide, const AudioTrack* audio, const AVIOInterruptCB& interrupt,
                       std::string& error) {
    LibraryErrorCapture capture;
    int ret = avformat_alloc_output_context2(&context_, format, nullptr, url.c_str());
    if (ret < 0 || !context_) {
        error = "Cannot set up the output container: " + failureText(ret, capture.lastError());
        return false;
    }
    // The MP4 muxer writes the stereo `st3d` box only at this strictness.
    context_->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;

    videoStream_ = avformat_new_stream(context_, nullptr);
    if (!videoStream_ || avcodec_parameters_from_context(videoStream_->codecpar, video) < 0) {
        error = "Cannot add the video stream to the output";
        return false;
    }
    videoStream_->time_base = video->time_base;
    videoStream_->avg_frame_rate = video->framerate;
    if (sideBySide) {
        AVStereo3D* stereo = av_stereo3d_alloc();
        if (!stereo) {
            error = "Out of memory";
            return false;
        }
        stereo->type = AV_STEREO3D_SIDEBYSIDE;
        if (av_stream_add_side_data(videoStream_, AV_PKT_DATA_STEREO3D, reinterpret_cast<uint8_t*>(stereo),
                                    sizeof(*stereo)) < 0) {
            av_free(stereo);
            error = "Cannot mark the video stream as side-by-side";
            return false;
        }
    }
    if (audio) {
        audioStream_ = avformat_new_stream(context_, nullptr);
        AVRational audioTimeBase{1, 1};
        if (!audioStream_ || !audio->describeOutput(audioStream_->codecpar, audioTimeBase)) {
            error = "Cannot add the audio stream to the output";
            return false;
        }
        audioStream_->time_base = audioTimeBase;
    }

    context_->interrupt_callback = interrupt;
    ret = avio_open2(&context_->pb, url.c_str(), AVIO_FLAG_WRITE, &context_->interrupt_callback, nullptr);
    if (ret < 0) {
        const std::string path = url.rfind("file:", 0) == 0 ? url.substr(5) : url;
        error = "Cannot create '" + path + "': " + avErrorText(ret);
        return false;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    ret = avformat_write_header(context_, &options);
    av_dict_free(&options);
    if (ret < 0) {
        error = "Cannot write the output header: " + failureText(ret, capture.lastError());
        return false;
    }
    headerWritten_ = true;
    return true;
}

bool OutputMuxer::writeLocked(AVPacket* packet, std::string& error) {
    const int ret = av_interleaved_write_frame(context_, packet);
    if (ret < 0) {
        error = "Cannot write the output file: " + avErrorText(ret);
        return false;
    }
    bytesWritten_ = std::max<std::int64_t>(bytesWritten_.load(), avio_tell(context_->pb));
    return true;
}

bool OutputMuxer::releaseAudioLocked(std::int64_t untilUs, std::string& error) {
    while (!pendingAudio_.empty()) {
        AVPacket* packet = pendingAudio_.front().get();
        const std::int64_t stamp = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        if (stamp != AV_NOPTS_VALUE && av_rescale_q(stamp, audioStream_->time_base, AV_TIME_BASE_Q) >= untilUs)
            break;
        if (!writeLocked(packet, error)) return false;
        pendingAudio_.pop_front();
    }
    return true;
}

bool OutputMuxer::writeVideo(AVPacket* packet, AVRational timeBase, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    av_packet_rescale_ts(packet, timeBase, videoStream_->time_base);
    packet->stream_index = videoStream_->index;
    const std::int64_t endUs =
        av_rescale_q(packet->pts + packet->duration, videoStream_->time_base, AV_TIME_BASE_Q);
    if (!writeLocked(packet, error)) return false;
    ++videoPackets_;
    if (endUs > videoEndUs_.load()) videoEndUs_ = endUs;
    return releaseAudioLocked(videoEndUs_.load(), error);
}

bool OutputMuxer::queueAudio(AVPacket* packet, AVRational timeBase, std::string& error) {
    PacketPtr copy(av_packet_clone(packet));
    if (!copy) {
        error = "Out of memory while queuing audio";
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    av_packet_rescale_ts(copy.get(), timeBase, audioStream_->time_base);
    copy->stream_index = audioStream_->index;
    pendingAudio_.push_back(std::move(copy));
    return releaseAudioLocked(videoEndUs_.load(), error);
}

bool OutputMuxer::close(Ending ending, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!context_) return false;
    const std::int64_t until = ending == Ending::Complete ? std::numeric_limits<std::int64_t>::max() : videoEndUs_.load();
    bool ok = releaseAudioLocked(until, error);
    pendingAudio_.clear();
    LibraryErrorCapture capture;
    const int ret = av_write_trailer(context_);
    if (ret < 0 && ok) {
        error = "Cannot finish the output file: " + failureText(ret, capture.lastError());
        ok = false;
    }
    if (context_->pb) bytesWritten_ = std::max<std::int64_t>(bytesWritten_.load(), avio_size(context_->pb));
    const int closed = avio_closep(&context_->pb);
    if (closed < 0 && ok) {
        error = "Cannot close the output file: " + avErrorText(closed);
        ok = false;
    }
    avformat_free_context(context_);
    context_ = nullptr;
    return ok;
}

void OutputMuxer::abandon() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!context_) return;
    pendingAudio_.clear();
    if (context_->pb) avio_closep(&context_->pb);
    avformat_free_context(context_);
    context_ = nullptr;
}

}  // namespace kalo::converter
