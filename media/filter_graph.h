#pragma once
// One libavfilter graph with a single video input and output: a "buffer" source named
// "in", the filters of a graph description, and a "buffersink" named "out" limited to one
// pixel format (libavfilter converts in and out of the formats the filters need, e.g.
// lut3d works in RGB). The preview asks for the source's own format, the converter for
// planar YUV 4:2:0.
#include <string>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "media/av_handles.h"
#include "media/video_format.h"

namespace kalo {

class FilterGraph {
public:
    // The step of configure that failed, for a message in the caller's own words.
    enum class Step { None, Allocate, Source, Sink, Parse, Configure };

    // Builds the graph for pictures of `input`; an empty `description` links the source
    // straight to the sink (pictures pass through, converted to `outputFormat` when
    // needed). The filters use up to `threads` threads (0: one per core). Returns 0 or a
    // negative FFmpeg error; failedStep() then says where. A graph configured before is
    // replaced.
    int configure(const std::string& description, const VideoFormat& input,
                  AVPixelFormat outputFormat, int threads = 0);

    // Hands a picture to the graph; nullptr ends the stream. With `keepReference` the
    // caller keeps `frame`, else the graph takes its data and leaves it blank.
    int push(AVFrame* frame, bool keepReference = false);

    // Takes the next filtered picture into `frame`: 0, AVERROR(EAGAIN) when the graph needs
    // more input, AVERROR_EOF after the end, another negative value on failure.
    int pull(AVFrame* frame);

    bool configured() const { return configured_; }
    Step failedStep() const { return failedStep_; }
    const VideoFormat& input() const { return input_; }
    const VideoFormat& output() const { return output_; }
    const std::string& description() const { return description_; }

private:
    int fail(Step step, int code);

    FilterGraphPtr graph_;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    VideoFormat input_;
    VideoFormat output_;
    std::string description_;
    bool configured_ = false;
    Step failedStep_ = Step::None;
};

}  // namespace kalo
