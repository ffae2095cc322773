#pragma once
// YUV 4:2:0 pictures of one size whose buffers are recycled: a 1080p picture is 3 MB, and
// fresh allocations per frame cost page faults at every frame.
#include "media/av_handles.h"

extern "C" {
#include <libavutil/buffer.h>
}

namespace kalo::converter {

class PicturePool {
public:
    PicturePool(int width, int height);
    ~PicturePool();
    PicturePool(const PicturePool&) = delete;
    PicturePool& operator=(const PicturePool&) = delete;

    // A writable picture (contents undefined); empty on allocation failure. The picture
    // may outlive the pool.
    FramePtr take();

private:
    int width_;
    int height_;
    int linesize_[3];
    int planeHeight_[3];
    AVBufferPool* pools_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace kalo::converter
