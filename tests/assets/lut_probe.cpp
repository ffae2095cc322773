#include "lut_probe.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

#include <memory>

namespace kalo::test {

namespace {

struct GraphDeleter {
    void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

std::string describe(const char* step, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return std::string(step) + ": " + text;
}

}  // namespace

LutResult applyLut(const std::string& cubePath, const std::vector<Rgb>& colors) {
    LutResult result;
    const int width = static_cast<int>(colors.size()), height = 2;
    std::unique_ptr<AVFilterGraph, GraphDeleter> graph(avfilter_graph_alloc());
    if (!graph) return {{}, "no graph"};

    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    const std::string args = "video_size=" + std::to_string(width) + "x" + std::to_string(height) +
                             ":pix_fmt=rgb24:time_base=1/25:pixel_aspect=1/1";
    int rc = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in",
                                          args.c_str(), nullptr, graph.get());
    if (rc < 0) return {{}, describe("buffer", rc)};
    rc = avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr,
                                      nullptr, graph.get());
    if (rc < 0) return {{}, describe("buffersink", rc)};
    const AVPixelFormat formats[] = {AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
    rc = av_opt_set_int_list(sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    if (rc < 0) return {{}, describe("pix_fmts", rc)};

    // The file name goes in as an option value, so no filter-string escaping is involved.
    AVFilterContext* lut = avfilter_graph_alloc_filter(graph.get(), avfilter_get_by_name("lut3d"), "lut");
    if (!lut) return {{}, "no lut3d filter"};
    rc = av_opt_set(lut, "file", cubePath.c_str(), AV_OPT_SEARCH_CHILDREN);
    if (rc < 0) return {{}, describe("file option", rc)};
    rc = avfilter_init_str(lut, nullptr);
    if (rc < 0) return {{}, describe("lut3d", rc)};

    if ((rc = avfilter_link(source, 0, lut, 0)) < 0 || (rc = avfilter_link(lut, 0, sink, 0)) < 0)
        return {{}, describe("link", rc)};
    if ((rc = avfilter_graph_config(graph.get(), nullptr)) < 0) return {{}, describe("config", rc)};

    std::unique_ptr<AVFrame, FrameDeleter> in(av_frame_alloc());
    in->format = AV_PIX_FMT_RGB24;
    in->width = width;
    in->height = height;
    if ((rc = av_frame_get_buffer(in.get(), 0)) < 0) return {{}, describe("frame", rc)};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = in->data[0] + y * in->linesize[0];
        for (int x = 0; x < width; ++x) {
            row[3 * x] = colors[x].r;
            row[3 * x + 1] = colors[x].g;
            row[3 * x + 2] = colors[x].b;
        }
    }
    if ((rc = av_buffersrc_add_frame(source, in.get())) < 0) return {{}, describe("push", rc)};
    if ((rc = av_buffersrc_add_frame(source, nullptr)) < 0) return {{}, describe("flush", rc)};

    std::unique_ptr<AVFrame, FrameDeleter> out(av_frame_alloc());
    if ((rc = av_buffersink_get_frame(sink, out.get())) < 0) return {{}, describe("pull", rc)};
    if (out->format != AV_PIX_FMT_RGB24 || out->width != width) return {{}, "unexpected output"};
    const uint8_t* row = out->data[0];
    for (int x = 0; x < width; ++x) result.colors.push_back({row[3 * x], row[3 * x + 1], row[3 * x + 2]});
    return result;
}

}  // namespace kalo::test
