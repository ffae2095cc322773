#include "media/filter_graph.h"

#include <cstdio>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

namespace kalo {
namespace {

std::string sourceArguments(const VideoFormat& f) {
    char text[256];
    // An unknown aspect (0/1) is passed as such; a malformed one is told as unknown.
    const AVRational sar =
        f.sampleAspect.num > 0 && f.sampleAspect.den > 0 ? f.sampleAspect : AVRational{0, 1};
    const int used =
        std::snprintf(text, sizeof text,
                      "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", f.width,
                      f.height, static_cast<int>(f.pixelFormat), f.timeBase.num, f.timeBase.den,
                      sar.num, sar.den);
    if (f.frameRate.num > 0 && f.frameRate.den > 0 && used > 0 &&
        static_cast<std::size_t>(used) < sizeof text) {
        std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used),
                      ":frame_rate=%d/%d", f.frameRate.num, f.frameRate.den);
    }
    return text;
}

// Connects the description's open ends "in" and "out" to the source and the sink.
int parseBetween(AVFilterGraph* graph, const std::string& description, AVFilterContext* source,
                 AVFilterContext* sink) {
    FilterInOutPtr outputs(avfilter_inout_alloc());
    FilterInOutPtr inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) return AVERROR(ENOMEM);
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink;
    if (!outputs->name || !inputs->name) return AVERROR(ENOMEM);
    AVFilterInOut* in = inputs.release();
    AVFilterInOut* out = outputs.release();
    const int result = avfilter_graph_parse_ptr(graph, description.c_str(), &in, &out, nullptr);
    avfilter_inout_free(&in);
    avfilter_inout_free(&out);
    return result;
}

}  // namespace

int FilterGraph::fail(Step step, int code) {
    failedStep_ = step;
    configured_ = false;
    return code < 0 ? code : AVERROR_UNKNOWN;
}

int FilterGraph::configure(const std::string& description, const VideoFormat& input,
                           AVPixelFormat outputFormat, int threads) {
    configured_ = false;
    failedStep_ = Step::None;
    source_ = nullptr;
    sink_ = nullptr;
    input_ = input;
    output_ = VideoFormat{};
    description_ = description;

    graph_.reset(avfilter_graph_alloc());
    if (!graph_) return fail(Step::Allocate, AVERROR(ENOMEM));
    graph_->nb_threads = threads;

    int ret = avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in",
                                           sourceArguments(input).c_str(), nullptr, graph_.get());
    if (ret < 0) return fail(Step::Source, ret);

    sink_ = avfilter_graph_alloc_filter(graph_.get(), avfilter_get_by_name("buffersink"), "out");
    if (!sink_) return fail(Step::Sink, AVERROR(ENOMEM));
    const AVPixelFormat formats[] = {outputFormat, AV_PIX_FMT_NONE};
    ret = av_opt_set_int_list(sink_, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    if (ret >= 0) ret = avfilter_init_str(sink_, nullptr);
    if (ret < 0) return fail(Step::Sink, ret);

    ret = description.empty() ? avfilter_link(source_, 0, sink_, 0)
                              : parseBetween(graph_.get(), description, source_, sink_);
    if (ret < 0) return fail(Step::Parse, ret);
    ret = avfilter_graph_config(graph_.get(), nullptr);
    if (ret < 0) return fail(Step::Configure, ret);

    output_.width = av_buffersink_get_w(sink_);
    output_.height = av_buffersink_get_h(sink_);
    output_.pixelFormat = static_cast<AVPixelFormat>(av_buffersink_get_format(sink_));
    output_.timeBase = av_buffersink_get_time_base(sink_);
    output_.sampleAspect = av_buffersink_get_sample_aspect_ratio(sink_);
    output_.frameRate = av_buffersink_get_frame_rate(sink_);
    configured_ = true;
    return 0;
}

int FilterGraph::push(AVFrame* frame, bool keepReference) {
    if (!configured_) return AVERROR(EINVAL);
    return av_buffersrc_add_frame_flags(source_, frame, keepReference ? AV_BUFFERSRC_FLAG_KEEP_REF : 0);
}

int FilterGraph::pull(AVFrame* frame) {
    if (!configured_) return AVERROR(EINVAL);
    return av_buffersink_get_frame(sink_, frame);
}

}  // namespace kalo
