#include "converter/filters/video_filter_graph.h"

#include <cstdio>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

#include "converter/console/console_log.h"

namespace kalo::converter {
namespace {

struct InOutFree {
    void operator()(AVFilterInOut* list) const { avfilter_inout_free(&list); }
};
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutFree>;

std::string sourceArguments(const VideoFormat& f) {
    char text[256];
    const AVRational sar = f.sampleAspect.num > 0 && f.sampleAspect.den > 0 ? f.sampleAspect : AVRational{0, 1};
    int used = std::snprintf(text, sizeof text, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                             f.width, f.height, static_cast<int>(f.pixelFormat), f.timeBase.num,
                             f.timeBase.den, sar.num, sar.den);
    if (f.frameRate.num > 0 && f.frameRate.den > 0)
        std::snprintf(text + used, sizeof text - used, ":frame_rate=%d/%d", f.frameRate.num, f.frameRate.den);
    return text;
}

}  // namespace

bool VideoFilterGraph::configure(const std::string& description, const VideoFormat& input,
                                 std::string& error) {
    LibraryErrorCapture capture;
    const std::string shown = description.empty() ? std::string("(none)") : "'" + description + "'";
    auto fail = [&](int code, const char* what) {
        error = std::string(what) + " for the filters " + shown + ": " + failureText(code, capture.lastError());
        return false;
    };

    graph_.reset(avfilter_graph_alloc());
    if (!graph_) return fail(AVERROR(ENOMEM), "Cannot allocate a filter graph");
    input_ = input;
    description_ = description;

    int ret = avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in",
                                           sourceArguments(input).c_str(), nullptr, graph_.get());
    if (ret < 0) return fail(ret, "Cannot create the picture source");

    sink_ = avfilter_graph_alloc_filter(graph_.get(), avfilter_get_by_name("buffersink"), "out");
    if (!sink_) return fail(AVERROR(ENOMEM), "Cannot create the picture sink");
    const AVPixelFormat formats[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_NONE};
    ret = av_opt_set_int_list(sink_, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    if (ret >= 0) ret = avfilter_init_str(sink_, nullptr);
    if (ret < 0) return fail(ret, "Cannot set up the picture sink");

    if (description.empty()) {
        ret = avfilter_link(source_, 0, sink_, 0);
        if (ret < 0) return fail(ret, "Cannot link");
    } else {
        InOutPtr outputs(avfilter_inout_alloc());
        InOutPtr inputs(avfilter_inout_alloc());
        if (!outputs || !inputs) return fail(AVERROR(ENOMEM), "Cannot allocate");
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source_;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink_;
        AVFilterInOut* in = inputs.release();
        AVFilterInOut* out = outputs.release();
        ret = avfilter_graph_parse_ptr(graph_.get(), description.c_str(), &in, &out, nullptr);
        avfilter_inout_free(&in);
        avfilter_inout_free(&out);
        if (ret < 0) return fail(ret, "Invalid filter text");
    }
    ret = avfilter_graph_config(graph_.get(), nullptr);
    if (ret < 0) return fail(ret, "Cannot configure");

    output_.width = av_buffersink_get_w(sink_);
    output_.height = av_buffersink_get_h(sink_);
    output_.pixelFormat = static_cast<AVPixelFormat>(av_buffersink_get_format(sink_));
    output_.timeBase = av_buffersink_get_time_base(sink_);
    output_.sampleAspect = av_buffersink_get_sample_aspect_ratio(sink_);
    output_.frameRate = av_buffersink_get_frame_rate(sink_);
    return true;
}

bool VideoFilterGraph::push(AVFrame* frame, std::string& error) {
    LibraryErrorCapture capture;
    const int ret = av_buffersrc_add_frame_flags(source_, frame, 0);
    if (ret < 0) {
        error = "Filtering failed in '" + description_ + "': " + failureText(ret, capture.lastError());
        return false;
    }
    return true;
}

VideoFilterGraph::Pull VideoFilterGraph::pull(AVFrame* frame, std::string& error) {
    LibraryErrorCapture capture;
    const int ret = av_buffersink_get_frame(sink_, frame);
    if (ret >= 0) return Pull::Frame;
    if (ret == AVERROR(EAGAIN)) return Pull::NeedMore;
    if (ret == AVERROR_EOF) return Pull::End;
    error = "Filtering failed in '" + description_ + "': " + failureText(ret, capture.lastError());
    return Pull::Error;
}

}  // namespace kalo::converter
