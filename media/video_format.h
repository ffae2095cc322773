#pragma once
// What a filter graph's source is told about the pictures it will receive, and what its
// sink gives back.
extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

namespace kalo {

struct VideoFormat {
    int width = 0;
    int height = 0;
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    AVRational timeBase{0, 1};
    AVRational sampleAspect{0, 1};
    AVRational frameRate{0, 1};  // {0,1}: unknown or variable
};

}  // namespace kalo
