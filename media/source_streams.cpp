#include "media/source_streams.h"

namespace kalo {
namespace {

bool isCoverPicture(const AVStream* stream) {
    return (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

bool isVideo(const AVStream* stream) {
    return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
}

}  // namespace

int chooseVideoStream(const AVFormatContext* context) {
    const int best = av_find_best_stream(const_cast<AVFormatContext*>(context), AVMEDIA_TYPE_VIDEO,
                                         -1, -1, nullptr, 0);
    if (best >= 0 && !isCoverPicture(context->streams[best])) return best;
    // The best guess was a cover picture (a music file's, or one stored before the film):
    // the first real video, if any, is what a person means by "the video".
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        if (isVideo(stream) && !isCoverPicture(stream)) return static_cast<int>(i);
    }
    return -1;
}

SourceOpenResult openSource(const std::string& utf8Path, const AVIOInterruptCB* interrupt,
                            SourceStreams& source, int& code) {
    source = SourceStreams{};
    code = 0;
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        code = AVERROR(ENOMEM);
        return SourceOpenResult::Unreadable;
    }
    // Set before the open, so that the open itself can be interrupted (a FIFO with no
    // writer blocks right there). avformat_open_input frees the context when it fails.
    if (interrupt) raw->interrupt_callback = *interrupt;
    code = avformat_open_input(&raw, utf8Path.c_str(), nullptr, nullptr);
    if (code < 0) return SourceOpenResult::Unreadable;
    InputContextPtr context(raw);
    code = avformat_find_stream_info(raw, nullptr);
    if (code < 0) return SourceOpenResult::NoStreamInfo;
    code = 0;

    const int video = chooseVideoStream(raw);
    if (video < 0) return SourceOpenResult::NoVideo;
    AVStream* videoStream = raw->streams[video];
    if (videoStream->codecpar->width <= 0 || videoStream->codecpar->height <= 0)
        return SourceOpenResult::NoPictureSize;
    const int audio = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
    AVStream* audioStream = audio >= 0 ? raw->streams[audio] : nullptr;
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        if (raw->streams[i] != videoStream && raw->streams[i] != audioStream)
            raw->streams[i]->discard = AVDISCARD_ALL;
    }
    source.context = std::move(context);
    source.video = videoStream;
    source.audio = audioStream;
    return SourceOpenResult::Opened;
}

}  // namespace kalo
