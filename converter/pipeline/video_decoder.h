#pragma once
// The video stream's decoder. A packet that fails to decode is reported and skipped, as
// players do; the caller decides what too many failures mean.
#include <cstdint>
#include <string>

#include "converter/filters/video_filter_graph.h"
#include "media/av_handles.h"

namespace kalo::converter {

class VideoDecoder {
public:
    enum class Receive { Frame, NeedMore, End, Error };

    bool open(const AVStream* stream, int threads, std::string& error);

    // nullptr flushes. Returns false only on a failure that ends decoding.
    bool send(const AVPacket* packet, std::string& error);

    // A decoded picture with `pts` set from the best-effort timestamp (in the stream's time
    // base; guessed from the previous picture when the file has none).
    Receive receive(AVFrame* frame, std::string& error);

    // The format pictures are expected in (from the stream parameters).
    VideoFormat format() const;

    std::int64_t failedPackets() const { return failedPackets_; }

private:
    CodecContextPtr context_;
    const AVStream* stream_ = nullptr;
    std::int64_t failedPackets_ = 0;
    std::int64_t lastPts_ = AV_NOPTS_VALUE;
    std::int64_t lastDuration_ = 0;
};

}  // namespace kalo::converter
