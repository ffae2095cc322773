// Filter graphs of the preview: selection, building once on "filter-thread", failures,
// the sharpening graphs, and a colour look-up table on YUV pictures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "clip_factory.h"
#include "config/option_tables.h"
#include "engine_support.h"
#include "platform/text_encoding.h"
#include "player/ffmpeg_helper.h"
#include "player/filter_image.h"

namespace {

namespace fs = std::filesystem;
using kalo::test::clip;
using kalo::test::SoftwareCanvas;
using enginetest::waitUntil;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Maps every colour to its opposite: white pictures come out black.
void writeInvertingCube(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file);
    out << "LUT_3D_SIZE 2\n";
    for (int b = 0; b < 2; ++b) {
        for (int g = 0; g < 2; ++g) {
            for (int r = 0; r < 2; ++r) out << 1 - r << " " << 1 - g << " " << 1 - b << "\n";
        }
    }
}

// A program folder for the filter graphs to look in; `cubes` lists the ".cube" files of
// its "filter" folder.
fs::path programIn(const std::string& folderName, const std::vector<std::string>& cubes) {
    const fs::path folder = kalo::pathFromUtf8(kalo::test::clipFolder().string() + "/" + folderName);
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const std::string& cube : cubes) writeInvertingCube(folder / "filter" / cube);
    return folder / "kalo-converter";
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class FilterGraph : public testing::Test {
protected:
    static void SetUpTestSuite() { refreshOptionTables(); }  // the filter table: 0..10

    void openPaused(const std::string& name) {
        engine.pacing = true;
        ASSERT_EQ(engine.open(clip(name).string(), canvas.renderer), 0);
        engine.paused = true;
        engine.displayScale = 1.0f;
        engine.layoutVideo(200, 200);
        ASSERT_TRUE(waitUntil([&] { return engine.pictureReady.load(); }));
    }
    void render() {
        canvas.clear();
        engine.renderFrame(&canvas.renderer, nullptr, nullptr);
    }

    SoftwareCanvas canvas{200, 200};
    FFmpegHelper engine;
};

TEST_F(FilterGraph, EntryZeroShowsPicturesUnfiltered) {
    openPaused("white.mp4");
    engine.setFilter(0);
    EXPECT_EQ(engine.activeFilter, 0);
    engine.waitForFilterBuilds();
    EXPECT_TRUE(engine.filters.empty()) << "no graph is built for entry 0";
    render();
    EXPECT_GT(canvas.pixel(100, 100).g, 230);
}

TEST_F(FilterGraph, ColourTableOnAPausedYuvPictureStaysYuv) {
    engine.programPath = programIn("plain", {"Moon.cube"});
    openPaused("white.mp4");
    ASSERT_EQ(engine.sourceFormat.pixelFormat, AV_PIX_FMT_YUV420P);
    engine.setFilter(3);  // Moon.cube
    engine.waitForFilterBuilds();
    ASSERT_EQ(engine.filters.count(3), 1u);
    ASSERT_TRUE(engine.filters[3]->ready);

    // Paused: the render step runs the current picture through the new graph.
    render();
    render();
    EXPECT_EQ(enginetest::pictureFormat(engine, true), AV_PIX_FMT_YUV420P);
    EXPECT_LT(enginetest::meanOfPlane(engine, 0, true), 40);  // white became black
    EXPECT_GT(enginetest::meanOfPlane(engine, 0), 200);       // the decoded picture is kept
    EXPECT_LT(canvas.pixel(100, 100).g, 30);

    // Toggling off shows the unfiltered picture again, and tells the job record.
    std::vector<int> offered;
    engine.filterChoiceCallback = [&](int index) { offered.push_back(index); };
    engine.toggleFilter(101);
    EXPECT_EQ(engine.activeFilter, -1);
    render();
    EXPECT_GT(canvas.pixel(100, 100).g, 230);
    EXPECT_EQ(offered, std::vector<int>{-1});
}

TEST_F(FilterGraph, DecodedPicturesOfAnotherFormatComeBackInThatFormat) {
    engine.programPath = programIn("plain", {"Moon.cube"});
    openPaused("white444.mp4");
    engine.setFilter(3);
    engine.waitForFilterBuilds();
    render();
    render();
    EXPECT_EQ(enginetest::pictureFormat(engine, true), AV_PIX_FMT_YUV444P);
    EXPECT_LT(canvas.pixel(100, 100).g, 30);  // converted for the texture after filtering
}

TEST_F(FilterGraph, SelectingTheSameEntryTwiceBuildsOnce) {
    engine.programPath = programIn("empty", {});  // the build fails, and says so once
    openPaused("white.mp4");
    CaptureStdout();
    engine.setFilter(3);
    engine.setFilter(3);
    engine.waitForFilterBuilds();
    engine.setFilter(3);
    engine.waitForFilterBuilds();
    const std::string printed = GetCapturedStdout();
    EXPECT_EQ(countOf(printed, "Filter failed to init!\n"), 1) << printed;
}

TEST_F(FilterGraph, MissingCubeFailsWithMessagesAndLeavesPicturesUnfiltered) {
    engine.programPath = programIn("empty", {});
    openPaused("white.mp4");
    CaptureStdout();
    engine.setFilter(4);
    engine.waitForFilterBuilds();
    const std::string printed = GetCapturedStdout();
    EXPECT_NE(printed.find("Filter create failed!\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Filter failed to init!\n"), std::string::npos) << printed;
    ASSERT_EQ(engine.filters.count(4), 1u);  // the failed graph is kept: no second try
    EXPECT_FALSE(engine.filters[4]->ready);

    render();
    EXPECT_GT(canvas.pixel(100, 100).g, 230);
    EXPECT_LT(enginetest::meanOfPlane(engine, 0, true), 0) << "nothing was filtered";
}

TEST_F(FilterGraph, SharpeningGraphsBuildAndKeepTheFormat) {
    openPaused("count250.mp4");
    std::vector<int> offered;  // what the keyboard toggles offer to the job record
    engine.filterChoiceCallback = [&](int index) { offered.push_back(index); };
    for (int index : {101, 102, 103}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(engine.buildFilter(index), 0);
        engine.toggleFilter(index);
        ASSERT_EQ(engine.activeFilter, index);
        render();
        EXPECT_EQ(enginetest::pictureFormat(engine, true), AV_PIX_FMT_YUV420P);
        engine.toggleFilter(index);
        ASSERT_EQ(engine.activeFilter, -1);
    }
    EXPECT_EQ(offered, (std::vector<int>{101, -1, 102, -1, 103, -1}));
    for (int index : {-1, 0, 11, 100, 104}) {  // no description: the graph cannot build
        CaptureStdout();
        EXPECT_EQ(engine.buildFilter(index), -1) << index;
        EXPECT_NE(GetCapturedStdout().find("Filter create failed!\n"), std::string::npos) << index;
    }
}

TEST_F(FilterGraph, SharpeningAppliesWhilePlaying) {
    openPaused("count250.mp4");
    engine.toggleFilter(103);
    engine.waitForFilterBuilds();
    ASSERT_TRUE(engine.filters[103]->ready);
    engine.paused = false;
    const std::int64_t from = engine.position;
    ASSERT_TRUE(waitUntil([&] { return engine.position > from + 5; }));
    EXPECT_EQ(enginetest::pictureFormat(engine, true), AV_PIX_FMT_YUV420P);
}

TEST_F(FilterGraph, ProgramFoldersWithAwkwardNamesStillBuild) {
    // Spaces, quotes, brackets, separators of the filter-graph syntax and Chinese.
    for (const char* folder : {"with space", "it's \"quoted\"", "[brackets],comma;semi",
                               "colon:equals=", "滤镜 文件夹"}) {
        SCOPED_TRACE(folder);
        engine.programPath = programIn(folder, {"Clarendon.cube"});
        openPaused("white.mp4");
        EXPECT_EQ(engine.buildFilter(1), 0) << engine.filterDescription(1);
        engine.release();
    }
}

TEST(FilterImageBuild, SampleAspectZeroIsPassedThrough) {
    FFmpegHelper::PictureFormat format;
    format.width = 64;
    format.height = 48;
    format.pixelFormat = AV_PIX_FMT_YUV420P;
    format.timeBase = {1, 25};
    format.sampleAspect = {0, 1};
    const auto image = FFmpegHelper::FilterImage::build("unsharp", format);
    EXPECT_TRUE(image->ready);
}

}  // namespace
