#include "converter/pipeline/picture_pool.h"

namespace kalo::converter {
namespace {

constexpr int kAlign = 64;  // rows start on cache lines; wide vector loads stay in bounds

int alignUp(int value) { return (value + kAlign - 1) / kAlign * kAlign; }

}  // namespace

PicturePool::PicturePool(int width, int height) : width_(width), height_(height) {
    const int chromaWidth = (width + 1) / 2;
    const int chromaHeight = (height + 1) / 2;
    linesize_[0] = alignUp(width);
    linesize_[1] = linesize_[2] = alignUp(chromaWidth);
    planeHeight_[0] = height;
    planeHeight_[1] = planeHeight_[2] = chromaHeight;
    for (int i = 0; i < 3; ++i)
        pools_[i] = av_buffer_pool_init(static_cast<size_t>(linesize_[i]) * planeHeight_[i] + kAlign, nullptr);
}

PicturePool::~PicturePool() {
    for (AVBufferPool*& pool : pools_) av_buffer_pool_uninit(&pool);
}

FramePtr PicturePool::take() {
    FramePtr frame = makeFrame();
    if (!frame) return frame;
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width_;
    frame->height = height_;
    for (int i = 0; i < 3; ++i) {
        if (!pools_[i]) return FramePtr();
        frame->buf[i] = av_buffer_pool_get(pools_[i]);
        if (!frame->buf[i]) return FramePtr();
        frame->data[i] = frame->buf[i]->data;
        frame->linesize[i] = linesize_[i];
    }
    frame->extended_data = frame->data;
    return frame;
}

}  // namespace kalo::converter
