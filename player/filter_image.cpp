#include "player/filter_image.h"

#include <cstdio>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

namespace {

void say(const char* message) {
    std::fputs(message, stdout);
    std::fflush(stdout);
}

// Connects the description's open ends to the source and the sink, parses and configures.
bool parseAndConfigure(FFmpegHelper::FilterImage& image, const std::string& description) {
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    bool configured = false;
    if (!outputs || !inputs) {
        say("Alloc object failed!\n");
    } else {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = image.source;
        outputs->pad_idx = 0;
        outputs->next = nullptr;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = image.sink;
        inputs->pad_idx = 0;
        inputs->next = nullptr;
        configured = !description.empty() &&
                     avfilter_graph_parse_ptr(image.graph, description.c_str(), &inputs, &outputs,
                                              nullptr) >= 0 &&
                     avfilter_graph_config(image.graph, nullptr) >= 0;
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    return configured;
}

}  // namespace

std::shared_ptr<FFmpegHelper::FilterImage> FFmpegHelper::FilterImage::build(
    const std::string& description, const PictureFormat& format, int threads) {
    auto image = std::make_shared<FilterImage>();
    const AVFilter* bufferFilter = avfilter_get_by_name("buffer");
    const AVFilter* sinkFilter = avfilter_get_by_name("buffersink");
    image->outFrame = av_frame_alloc();
    image->graph = avfilter_graph_alloc();
    if (!bufferFilter || !sinkFilter || !image->outFrame || !image->graph) {
        say("Alloc object failed!\n");
        say("Filter create failed!\n");
        return image;
    }
    image->graph->nb_threads = threads;

    char arguments[512];
    std::snprintf(arguments, sizeof arguments,
                  "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", format.width,
                  format.height, static_cast<int>(format.pixelFormat), format.timeBase.num,
                  format.timeBase.den, format.sampleAspect.num, format.sampleAspect.den);
    const AVPixelFormat sinkFormats[] = {format.pixelFormat, AV_PIX_FMT_NONE};

    if (avfilter_graph_create_filter(&image->source, bufferFilter, "in", arguments, nullptr,
                                     image->graph) < 0) {
        say("Buffer source create failed!\n");
    } else if (avfilter_graph_create_filter(&image->sink, sinkFilter, "out", nullptr, nullptr,
                                            image->graph) < 0) {
        say("Buffer sink create failed!\n");
    } else if (av_opt_set_int_list(image->sink, "pix_fmts", sinkFormats, AV_PIX_FMT_NONE,
                                   AV_OPT_SEARCH_CHILDREN) < 0) {
        say("Pixel format setup failed!\n");
    } else {
        image->ready = parseAndConfigure(*image, description);
    }
    if (!image->ready) say("Filter create failed!\n");
    return image;
}

FFmpegHelper::FilterImage::~FilterImage() {
    avfilter_graph_free(&graph);  // frees the source, the sink and every filter between
    av_frame_free(&outFrame);
}

int FFmpegHelper::FilterImage::filter(AVFrame* picture) {
    const int sent = av_buffersrc_add_frame_flags(source, picture, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (sent < 0) return sent;
    av_frame_unref(outFrame);
    return av_buffersink_get_frame(sink, outFrame);
}
