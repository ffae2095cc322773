// Opening sources: results, what a failed open leaves, rotation, frame counts and seek
// grids of real containers, the display strings.
#include <gtest/gtest.h>

#include <filesystem>

extern "C" {
#include <libavformat/avformat.h>
}

#include "clip_factory.h"
#include "engine_support.h"
#include "platform/text_encoding.h"
#include "player/ffmpeg_helper.h"

namespace {

namespace fs = std::filesystem;
using kalo::test::clip;

void expectNothingHeld(const FFmpegHelper& engine) {
    EXPECT_FALSE(engine.opened);
    EXPECT_EQ(engine.formatContext, nullptr);
    EXPECT_EQ(engine.videoDecoder, nullptr);
    EXPECT_EQ(engine.audioDecoder, nullptr);
    EXPECT_EQ(engine.frame, nullptr);
    EXPECT_EQ(engine.packet, nullptr);
    EXPECT_EQ(engine.scaler, nullptr);
    EXPECT_EQ(engine.texture, nullptr);
    EXPECT_EQ(engine.readerThread, nullptr);
    EXPECT_EQ(engine.packetQueue, nullptr);
    EXPECT_EQ(engine.videoIndex, -1);
    EXPECT_EQ(engine.totalFrames, 0);
    EXPECT_TRUE(engine.seekPoints.empty());
}

TEST(OpenSource, ResultCodesAndFailedOpensHoldNothing) {
    struct Case {
        std::string clip;
        int expected;
    } cases[] = {
        {"count250.mp4", 0},
        {"audioonly.m4a", FFmpegHelper::noVideoStream},
        {"", FFmpegHelper::openFailed},  // missing file
        {"garbage.mp4", FFmpegHelper::openFailed},
        {"nomoov.mp4", FFmpegHelper::openFailed},
        {"unknowncodec.avi", FFmpegHelper::decoderFailed},
    };
    kalo::test::SoftwareCanvas canvas(64, 64);
    FFmpegHelper engine;
    for (const Case& c : cases) {
        const fs::path path = c.clip.empty() ? kalo::test::clipFolder() / "missing.mp4" : clip(c.clip);
        EXPECT_EQ(engine.open(path.string(), canvas.renderer), c.expected) << c.clip;
        if (c.expected != 0) {
            SCOPED_TRACE(c.clip);
            expectNothingHeld(engine);
            // A failed engine does nothing when driven.
            engine.renderFrame(&canvas.renderer, nullptr, nullptr);
            engine.seek(0.5f);
            engine.syncPosition();
            engine.replay();
            EXPECT_EQ(engine.readerThread, nullptr);
        }
    }
    // The same engine opens a good file after failures, and releases it fully.
    ASSERT_EQ(engine.open(clip("count250.mkv").string(), canvas.renderer), 0);
    EXPECT_TRUE(engine.opened);
    EXPECT_NE(engine.readerThread, nullptr);
    engine.release();
    expectNothingHeld(engine);
}

TEST(OpenSource, RotationFromTagOrDisplayMatrixAndPortrait) {
    struct Case {
        const char* clip;
        int rotation;
        bool portrait;
    } cases[] = {
        {"phone90.mp4", 90, true},     // display matrix only, as phones write it
        {"phone270.mp4", 270, true},
        {"count250.mp4", 0, false},
        {"tag90.mkv", 90, true},       // the tag
        {"tag270abc.mkv", 270, true},  // read like stoi: trailing characters ignored
    };
    FFmpegHelper engine;
    for (const Case& c : cases) {
        ASSERT_EQ(engine.open(clip(c.clip).string(), nullptr), 0) << c.clip;
        EXPECT_EQ(engine.rotation, c.rotation) << c.clip;
        EXPECT_EQ(engine.portrait, c.portrait) << c.clip;
    }
}

TEST(OpenSource, FrameCountsAndSeekGridsOfContainers) {
    struct Case {
        const char* clip;
        std::int64_t totalFrames;
        std::size_t points;
    } cases[] = {
        {"count250.mp4", 250, 9},
        {"count250.mkv", 250, 9},  // from the container duration, time base 1/1000
        {"count250.ts", 250, 9},   // from the container duration, time base 1/90000
        {"odd.avi", 100, 4},       // 30000/1001 fps
        {"micro.mp4", 100, 4},     // time base 1/1000000, 1000000/66667 fps
    };
    FFmpegHelper engine;
    for (const Case& c : cases) {
        ASSERT_EQ(engine.open(clip(c.clip).string(), nullptr), 0) << c.clip;
        EXPECT_EQ(engine.totalFrames, c.totalFrames) << c.clip;
        ASSERT_EQ(engine.seekPoints.size(), c.points) << c.clip;
        // Every point is the first tick of a frame that is a multiple of 30.
        std::int64_t expectedFrame = 0;
        for (std::int64_t point : engine.seekPoints) {
            EXPECT_EQ(engine.timing.ticksToFrames(point), expectedFrame) << c.clip;
            EXPECT_EQ(point, engine.timing.framesToTicks(expectedFrame)) << c.clip;
            expectedFrame += 30;
        }
    }
    // The worked grid: 250 frames at 25 fps in 1/12800 give 0, 15360, ..., 122880.
    ASSERT_EQ(engine.open(clip("count250.mp4").string(), nullptr), 0);
    EXPECT_EQ(*engine.seekPoints.begin(), 0);
    EXPECT_EQ(*engine.seekPoints.rbegin(), 240 * 512);
}

TEST(OpenSource, DisplayStringsAndAwkwardPaths) {
    FFmpegHelper engine;
    const fs::path source = clip("count250.mp4");
    ASSERT_EQ(engine.open(source.string(), nullptr), 0);
    EXPECT_EQ(engine.info.duration, "00:00:10");
    EXPECT_EQ(engine.info.resolution, "160x120");
    EXPECT_EQ(engine.info.size, formatFileSize(fs::file_size(source)));
    EXPECT_EQ(engine.info.format, "mp4");

    // Spaces, quotes, brackets and Chinese characters in folder and file names; an
    // upper-case extension.
    const fs::path folder =
        kalo::pathFromUtf8(kalo::test::clipFolder().string() + "/odd name 'q\" [x] 视频");
    fs::create_directories(folder);
    const fs::path awkward = folder / kalo::pathFromUtf8("片段 one's.MKV");
    fs::copy_file(clip("count250.mkv"), awkward, fs::copy_options::overwrite_existing);
    ASSERT_EQ(engine.open(kalo::pathToUtf8(awkward), nullptr), 0);
    EXPECT_EQ(engine.info.format, "mkv");
    EXPECT_EQ(engine.info.size, formatFileSize(fs::file_size(awkward)));
    EXPECT_EQ(engine.totalFrames, 250);
}

TEST(OpenSource, LayoutUsesTheDecoderSizeAndRepairsABadScale) {
    FFmpegHelper engine;
    ASSERT_EQ(engine.open(clip("count250.mp4").string(), nullptr), 0);
    EXPECT_FLOAT_EQ(engine.displayScale, 0.85f);
    engine.layoutVideo(1000, 500);  // 160x120 at 0.85: 425 high, 566 wide
    EXPECT_EQ(engine.destRect.x, 217);
    EXPECT_EQ(engine.destRect.y, 37);
    EXPECT_EQ(engine.destRect.w, 566);
    EXPECT_EQ(engine.destRect.h, 425);
    engine.displayScale = 1.5f;
    engine.layoutVideo(1000, 500);
    EXPECT_FLOAT_EQ(engine.displayScale, 0.7f);
    EXPECT_EQ(engine.destRect.h, 350);
}

TEST(OpenSource, OpeningAnotherFileStopsThreadsAndForgetsFilters) {
    FFmpegHelper engine;
    ASSERT_EQ(engine.open(clip("count250.mp4").string(), nullptr), 0);
    ASSERT_TRUE(enginetest::waitUntil([&] { return engine.pictureReady.load(); }));
    engine.setFilter(101);
    engine.waitForFilterBuilds();
    EXPECT_EQ(engine.filters.size(), 1u);

    ASSERT_EQ(engine.open(clip("white.mp4").string(), nullptr), 0);
    EXPECT_EQ(engine.activeFilter, -1);
    EXPECT_TRUE(engine.filters.empty());
    EXPECT_TRUE(enginetest::waitUntil([&] { return engine.pictureReady.load(); }));
    EXPECT_EQ(engine.decoderWidth(), 160);
}

}  // namespace
