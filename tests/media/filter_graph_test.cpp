// The shared filter-graph wrapper: the sink's picture format, pass-through, where a
// failure happened, and that a failed graph refuses pictures instead of crashing.
#include <gtest/gtest.h>

#include <algorithm>

extern "C" {
#include <libavutil/common.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include "media/av_handles.h"
#include "media/filter_graph.h"

namespace {

kalo::VideoFormat smallPicture(AVPixelFormat format) {
    return kalo::VideoFormat{64, 48, format, {1, 25}, {1, 1}, {0, 1}};
}

kalo::FramePtr greyPicture(const kalo::VideoFormat& format) {
    kalo::FramePtr picture = kalo::makeFrame();
    picture->width = format.width;
    picture->height = format.height;
    picture->format = format.pixelFormat;
    picture->pts = 0;
    if (av_frame_get_buffer(picture.get(), 0) < 0) return nullptr;
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(format.pixelFormat);
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane == 0 ? format.height : AV_CEIL_RSHIFT(format.height, layout->log2_chroma_h);
        for (int y = 0; y < rows; ++y) {
            std::fill_n(picture->data[plane] + y * picture->linesize[plane], picture->linesize[plane], 128);
        }
    }
    return picture;
}

TEST(SharedFilterGraph, PicturesLeaveInTheAskedFormat) {
    struct Case {
        const char* description;
        AVPixelFormat input;
        AVPixelFormat output;
        int width;
    } cases[] = {
        {"", AV_PIX_FMT_YUV444P, AV_PIX_FMT_YUV420P, 64},         // pass-through, converted
        {"", AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV420P, 64},
        {"unsharp", AV_PIX_FMT_YUV444P, AV_PIX_FMT_YUV444P, 64},  // the preview keeps the source's
        {"transpose=clock", AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV420P, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        kalo::FilterGraph graph;
        const kalo::VideoFormat input = smallPicture(c.input);
        ASSERT_EQ(graph.configure(c.description, input, c.output), 0);
        EXPECT_TRUE(graph.configured());
        EXPECT_EQ(graph.output().pixelFormat, c.output);
        EXPECT_EQ(graph.output().width, c.width);

        kalo::FramePtr picture = greyPicture(input);
        ASSERT_NE(picture, nullptr);
        ASSERT_GE(graph.push(picture.get(), true), 0);
        EXPECT_NE(picture->data[0], nullptr) << "kept by the caller";
        kalo::FramePtr out = kalo::makeFrame();
        ASSERT_EQ(graph.pull(out.get()), 0);
        EXPECT_EQ(out->format, c.output);
        EXPECT_EQ(out->width, c.width);
        ASSERT_GE(graph.push(nullptr), 0);
        EXPECT_EQ(graph.pull(out.get()), AVERROR_EOF);
    }
}

TEST(SharedFilterGraph, FailuresNameTheirStepAndRefusePictures) {
    struct Case {
        const char* description;
        AVPixelFormat input;
        kalo::FilterGraph::Step step;
    } cases[] = {
        {"nosuchfilter", AV_PIX_FMT_YUV420P, kalo::FilterGraph::Step::Parse},
        {"scale=32:24,", AV_PIX_FMT_YUV420P, kalo::FilterGraph::Step::Parse},
        {"crop=1000:1000", AV_PIX_FMT_YUV420P, kalo::FilterGraph::Step::Configure},
        {"", AV_PIX_FMT_NONE, kalo::FilterGraph::Step::Source},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        kalo::FilterGraph graph;
        EXPECT_LT(graph.configure(c.description, smallPicture(c.input), AV_PIX_FMT_YUV420P), 0);
        EXPECT_FALSE(graph.configured());
        EXPECT_EQ(graph.failedStep(), c.step);
        kalo::FramePtr picture = greyPicture(smallPicture(AV_PIX_FMT_YUV420P));
        EXPECT_LT(graph.push(picture.get()), 0);
        EXPECT_LT(graph.pull(picture.get()), 0);
    }
}

TEST(SharedFilterGraph, ReconfiguringReplacesTheGraph) {
    kalo::FilterGraph graph;
    const kalo::VideoFormat input = smallPicture(AV_PIX_FMT_YUV420P);
    ASSERT_LT(graph.configure("nosuchfilter", input, AV_PIX_FMT_YUV420P), 0);
    ASSERT_EQ(graph.configure("scale=32:24", input, AV_PIX_FMT_YUV420P), 0);
    EXPECT_EQ(graph.failedStep(), kalo::FilterGraph::Step::None);
    EXPECT_EQ(graph.output().width, 32);
    EXPECT_EQ(graph.description(), "scale=32:24");
}

}  // namespace
