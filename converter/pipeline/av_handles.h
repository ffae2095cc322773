#pragma once
// Owning handles for FFmpeg objects, and FFmpeg error codes as text.
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

namespace kalo::converter {

struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct InputContextClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct FilterGraphFree {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
struct ResamplerFree {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct AudioFifoFree {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextClose>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphFree>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFree>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoFree>;

inline FramePtr makeFrame() { return FramePtr(av_frame_alloc()); }
inline PacketPtr makePacket() { return PacketPtr(av_packet_alloc()); }

inline std::string avErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof text);
    return text;
}

// The library's own words when it logged an error during the failed call, else the code.
inline std::string failureText(int code, const std::string& libraryMessage) {
    return libraryMessage.empty() ? avErrorText(code) : libraryMessage;
}

}  // namespace kalo::converter
