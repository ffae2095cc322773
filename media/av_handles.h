#pragma once
// Owning handles for FFmpeg objects: each frees its object the way FFmpeg asks for it, so
// an early return on a failure leaks nothing.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace kalo {

// FFmpeg frees most objects through the address of the pointer (`av_frame_free(&frame)`),
// a few through the pointer itself.
template <typename T, void (*Free)(T**)>
struct FreeThroughAddress {
    void operator()(T* object) const { Free(&object); }
};
template <typename T, void (*Free)(T*)>
struct FreeThroughPointer {
    void operator()(T* object) const { Free(object); }
};

using FramePtr = std::unique_ptr<AVFrame, FreeThroughAddress<AVFrame, av_frame_free>>;
using PacketPtr = std::unique_ptr<AVPacket, FreeThroughAddress<AVPacket, av_packet_free>>;
using CodecContextPtr =
    std::unique_ptr<AVCodecContext, FreeThroughAddress<AVCodecContext, avcodec_free_context>>;
using InputContextPtr =
    std::unique_ptr<AVFormatContext, FreeThroughAddress<AVFormatContext, avformat_close_input>>;
using FilterGraphPtr =
    std::unique_ptr<AVFilterGraph, FreeThroughAddress<AVFilterGraph, avfilter_graph_free>>;
using FilterInOutPtr =
    std::unique_ptr<AVFilterInOut, FreeThroughAddress<AVFilterInOut, avfilter_inout_free>>;
using ResamplerPtr = std::unique_ptr<SwrContext, FreeThroughAddress<SwrContext, swr_free>>;
using ScalerPtr = std::unique_ptr<SwsContext, FreeThroughPointer<SwsContext, sws_freeContext>>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, FreeThroughPointer<AVAudioFifo, av_audio_fifo_free>>;

inline FramePtr makeFrame() { return FramePtr(av_frame_alloc()); }
inline PacketPtr makePacket() { return PacketPtr(av_packet_alloc()); }

}  // namespace kalo
