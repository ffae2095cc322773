#pragma once
// The queues between the pipeline's threads:
//   reader (demux, decode, filters before depth) -> decoded
//   depth estimation                             -> withDepth
//   stereo synthesis                             -> toEncode
//   encoder (filters after depth, libx264, muxer)
// Without a depth filter the encoder takes `decoded` directly. A few pictures per queue
// keep every thread busy while bounding memory (a 1080p picture is 3 MB).
#include <memory>

#include "converter/depth/depth_stage.h"
#include "converter/pipeline/bounded_queue.h"
#include "media/av_handles.h"

namespace kalo::converter {

struct DepthFrame {
    FramePtr picture;
    std::shared_ptr<const depth::DepthMap> depth;
};

struct PipelineQueues {
    static constexpr size_t kCapacity = 4;
    BoundedQueue<FramePtr> decoded{kCapacity};
    BoundedQueue<DepthFrame> withDepth{kCapacity};
    BoundedQueue<FramePtr> toEncode{kCapacity};

    void abortAll() {
        decoded.abort();
        withDepth.abort();
        toEncode.abort();
    }
};

// Planes of a YUV 4:2:0 AVFrame as the depth algorithms take them.
inline depth::Yuv420View viewOf(const AVFrame* frame) {
    const int cw = (frame->width + 1) / 2;
    const int ch = (frame->height + 1) / 2;
    return {{frame->data[0], frame->linesize[0], frame->width, frame->height},
            {frame->data[1], frame->linesize[1], cw, ch},
            {frame->data[2], frame->linesize[2], cw, ch}};
}

inline depth::Yuv420Target targetOf(AVFrame* frame) {
    const int cw = (frame->width + 1) / 2;
    const int ch = (frame->height + 1) / 2;
    return {{frame->data[0], frame->linesize[0], frame->width, frame->height},
            {frame->data[1], frame->linesize[1], cw, ch},
            {frame->data[2], frame->linesize[2], cw, ch}};
}

}  // namespace kalo::converter
