// The colour look-up filter text: its escaping, and that FFmpeg's own filter-graph parser
// finds the ".cube" file through it even in a folder whose name uses every special
// character of the graph syntax.
#include <gtest/gtest.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
}

#include <filesystem>
#include <fstream>

#include "config/option_tables.h"
#include "media/lut_filter_text.h"

namespace fs = std::filesystem;
using kalo::escapeFilterOptionValue;
using kalo::lutFilterText;
using kalo::lutFilterTextInFolder;

TEST(LutFilterText, EscapesOnlyWhatTheGraphSyntaxReads) {
    struct Case {
        const char* text;
        const char* escaped;
    } cases[] = {
        {"/opt/kalo/filter/Clarendon.cube", "/opt/kalo/filter/Clarendon.cube"},
        // A drive colon: escaped for the option level, that escape again for the graph level.
        {"C:/Apps/Tool/filter/Clarendon.cube", "C\\\\:/Apps/Tool/filter/Clarendon.cube"},
        {"/a b/x.cube", "/a b/x.cube"},
        {"/a,b;c[d]/x.cube", "/a\\,b\\;c\\[d\\]/x.cube"},
        {"/a=b/x.cube", "/a\\\\=b/x.cube"},
        {"/it's/x.cube", "/it\\\\\\'s/x.cube"},
        {"/back\\slash/x.cube", "/back\\\\\\\\slash/x.cube"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapeFilterOptionValue(c.text), c.escaped) << c.text;
    }
}

TEST(LutFilterText, NamesTheCubeFileInTheFilterFolderBesideTheProgram) {
    refreshOptionTables();
    ASSERT_GE(filterTable.size(), 2u);
    EXPECT_EQ(lutFilterText("/opt/kalo/bin/kalo-converter", 1),
              "lut3d=/opt/kalo/bin/filter/Clarendon.cube");
    EXPECT_EQ(lutFilterTextInFolder("/opt/kalo/bin/", "Moon.cube"),
              "lut3d=/opt/kalo/bin/filter/Moon.cube");
    EXPECT_EQ(lutFilterTextInFolder("/", "Moon.cube"), "lut3d=/filter/Moon.cube");
    // A bare program name: its folder is the working directory.
    EXPECT_EQ(lutFilterText("kalo-converter", 1),
              "lut3d=" + escapeFilterOptionValue(fs::current_path().generic_u8string() +
                                                 "/filter/Clarendon.cube"));
    EXPECT_THROW(lutFilterText("/opt/kalo/bin/kalo-converter", -1), std::out_of_range);
    EXPECT_THROW(lutFilterText("/opt/kalo/bin/kalo-converter",
                               static_cast<int>(filterTable.size())),
                 std::out_of_range);
}

namespace {

// Parses and configures buffer -> description -> buffersink for a small RGB picture and
// pushes one frame through; true when the whole graph works.
bool graphRuns(const std::string& description) {
    AVFilterGraph* graph = avfilter_graph_alloc();
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    bool ok = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in",
                                           "video_size=16x16:pix_fmt=2:time_base=1/25:"
                                           "pixel_aspect=1/1",
                                           nullptr, graph) >= 0 &&
              avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out",
                                           nullptr, nullptr, graph) >= 0;
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    if (ok) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink;
        ok = avfilter_graph_parse_ptr(graph, description.c_str(), &inputs, &outputs, nullptr) >= 0 &&
             avfilter_graph_config(graph, nullptr) >= 0;
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (ok) {
        AVFrame* frame = av_frame_alloc();
        frame->format = 2;  // AV_PIX_FMT_RGB24
        frame->width = 16;
        frame->height = 16;
        ok = av_frame_get_buffer(frame, 0) >= 0;
        if (ok) {
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 48; ++x) frame->data[0][y * frame->linesize[0] + x] = 200;
            }
            ok = av_buffersrc_add_frame(source, frame) >= 0;
        }
        AVFrame* out = av_frame_alloc();
        ok = ok && av_buffersink_get_frame(sink, out) >= 0;
        av_frame_free(&out);
        av_frame_free(&frame);
    }
    avfilter_graph_free(&graph);
    return ok;
}

}  // namespace

TEST(LutFilterText, FfmpegFindsTheCubeFileThroughAnAwkwardFolderName) {
    const fs::path root = fs::path(KALO_TEST_BIN_DIR) / "lut folder, it's [a=b];c:d\\e";
    fs::remove_all(root);
    fs::create_directories(root / "filter");
    {
        std::ofstream cube(root / "filter" / "Identity.cube");
        cube << "LUT_3D_SIZE 2\n";
        for (int b = 0; b < 2; ++b)
            for (int g = 0; g < 2; ++g)
                for (int r = 0; r < 2; ++r) cube << r << ' ' << g << ' ' << b << '\n';
    }
    EXPECT_TRUE(graphRuns(lutFilterTextInFolder(root, "Identity.cube")));
    // The same file named without escaping is not found: the test really exercises it.
    EXPECT_FALSE(graphRuns("lut3d=" + (root / "filter" / "Identity.cube").generic_u8string()));
    EXPECT_FALSE(graphRuns(lutFilterTextInFolder(root, "Missing.cube")));
    fs::remove_all(root);
}
