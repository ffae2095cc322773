// Playing real clips: to the end, pause, seek, replay, damaged files, stopping, the render
// step's turned picture and the thumbnail.
#include <gtest/gtest.h>

#include <vector>

#include "clip_factory.h"
#include "engine_support.h"
#include "player/ffmpeg_helper.h"
#include "player/render_queue.h"

namespace {

using kalo::test::clip;
using kalo::test::SoftwareCanvas;
using enginetest::renderUntil;
using enginetest::waitUntil;

class Playback : public testing::Test {
protected:
    bool open(const std::string& name, bool pacing) {
        engine.pacing = pacing;
        return engine.open(clip(name).string(), canvas.renderer) == 0;
    }
    bool waitForPicture() {
        return waitUntil([&] { return engine.pictureReady.load(); });
    }

    SoftwareCanvas canvas{200, 200};
    FFmpegHelper engine;
};

TEST_F(Playback, EveryPictureIsShownThenTheEndedCallbackRuns) {
    // Frame counts from the stream or the container, odd rates and time bases, video that is
    // not the first stream.
    for (const char* name :
         {"count250.mp4", "count250.mkv", "count250.ts", "odd.avi", "micro.mp4", "audiofirst.mkv"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(open(name, false));
        int endedCalls = 0;
        engine.endedCallback = [&] { ++endedCalls; };
        ASSERT_TRUE(renderUntil(engine, canvas, [&] { return engine.ended.load(); }));
        // The pictures still inside the decoder at the end were shown too.
        EXPECT_EQ(engine.position, engine.totalFrames);
        endedCalls = 0;
        engine.renderFrame(&canvas.renderer, nullptr, nullptr);
        engine.renderFrame(&canvas.renderer, nullptr, nullptr);
        EXPECT_EQ(endedCalls, 2);
        // Both threads stop by themselves after the end.
        EXPECT_TRUE(waitUntil([&] { return engine.readerState == ThreadState::Stopped; }));
        EXPECT_EQ(engine.decoderState, ThreadState::Stopped);
    }
}

TEST_F(Playback, PauseStopsDecodingAndResumeContinues) {
    ASSERT_TRUE(open("count250.mp4", true));
    ASSERT_TRUE(waitUntil([&] { return engine.position >= 3; }));
    EXPECT_TRUE(engine.togglePause());
    SDL_Delay(150);  // a picture being paced may still finish
    const std::int64_t pausedAt = engine.position;
    std::vector<float> reports;
    engine.progressCallback = [&](float value) { reports.push_back(value); };
    for (int i = 0; i < 10; ++i) {
        engine.renderFrame(&canvas.renderer, nullptr, nullptr);
        SDL_Delay(40);
    }
    EXPECT_EQ(engine.position, pausedAt);
    EXPECT_TRUE(reports.empty()) << "no progress reports while paused";

    EXPECT_FALSE(engine.togglePause());
    EXPECT_TRUE(waitUntil([&] { return engine.position > pausedAt + 2; }));
}

TEST_F(Playback, PausedBeforeTheFirstPictureStillShowsIt) {
    engine.pacing = true;
    const int result = engine.open(clip("count250.mp4").string(), canvas.renderer);
    engine.paused = true;  // as the converter screen does right after opening
    ASSERT_EQ(result, 0);
    ASSERT_TRUE(waitForPicture());
    SDL_Delay(200);
    EXPECT_LE(engine.position, 2);
}

TEST_F(Playback, SeekLandsOnTheSeekPointAtOrBefore) {
    ASSERT_TRUE(open("numbered1000.mp4", true));
    engine.paused = true;
    ASSERT_TRUE(waitForPicture());
    std::vector<float> reports;
    engine.progressCallback = [&](float value) { reports.push_back(value); };

    engine.seek(0.5f);
    EXPECT_EQ(engine.position, 500);
    engine.syncPosition();
    EXPECT_EQ(engine.position, 480);
    ASSERT_FALSE(reports.empty());
    EXPECT_FLOAT_EQ(reports.back(), 0.48f);

    // Paused: the threads run until the picture of the new place is decoded, then wait.
    ASSERT_TRUE(waitUntil([&] { return !engine.seekRequested; }));
    EXPECT_EQ(enginetest::currentFrameNumber(engine), 480);
    EXPECT_EQ(engine.position, 481);  // one-based number of the picture shown
    SDL_Delay(200);
    EXPECT_EQ(engine.position, 481);

    // Backwards, between points: 0.1 of 1000 is 100, on the point at 90.
    engine.seek(0.1f);
    engine.syncPosition();
    EXPECT_EQ(engine.position, 90);
    ASSERT_TRUE(waitUntil([&] { return !engine.seekRequested; }));
    EXPECT_EQ(enginetest::currentFrameNumber(engine), 90);
}

TEST_F(Playback, ReplayAndSeekAfterTheEnd) {
    ASSERT_TRUE(open("numbered1000.mp4", false));
    ASSERT_TRUE(renderUntil(engine, canvas, [&] { return engine.ended.load(); }));
    EXPECT_EQ(enginetest::currentFrameNumber(engine), 999);

    engine.pacing = true;
    engine.replay();
    EXPECT_FALSE(engine.ended);
    EXPECT_FALSE(engine.paused);
    ASSERT_TRUE(waitUntil([&] { return engine.position >= 1 && engine.position < 20; }));
    EXPECT_LT(enginetest::currentFrameNumber(engine), 20);

    // A seek after the end replays first and keeps the pause of that moment.
    engine.pacing = false;
    ASSERT_TRUE(renderUntil(engine, canvas, [&] { return engine.ended.load(); }));
    engine.paused = true;
    engine.seek(0.25f);
    EXPECT_FALSE(engine.ended);
    EXPECT_TRUE(engine.paused);
    engine.syncPosition();
    ASSERT_TRUE(waitUntil([&] { return !engine.seekRequested; }));
    EXPECT_EQ(enginetest::currentFrameNumber(engine), 240);
}

TEST_F(Playback, DamagedFilesPlayToTheirEnd) {
    for (const char* name : {"cut.mp4", "cut.mkv", "scrambled.mp4"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(open(name, false));
        EXPECT_TRUE(renderUntil(engine, canvas, [&] { return engine.ended.load(); }));
        EXPECT_GT(engine.position, 0);
        engine.seek(0.3f);  // seeking into a damaged file is harmless too
        EXPECT_TRUE(renderUntil(engine, canvas, [&] { return engine.ended.load(); }));
        engine.release();
    }
}

TEST_F(Playback, ReleaseAndSeekStopTheThreadsPromptly) {
    // One picture a second: the decoder spends almost all its time in its pacing sleep.
    ASSERT_TRUE(open("slow.mp4", true));
    ASSERT_TRUE(waitForPicture());
    SDL_Delay(100);
    Uint32 start = SDL_GetTicks();
    engine.seek(0.5f);
    engine.syncPosition();
    EXPECT_LT(SDL_GetTicks() - start, 600u);
    ASSERT_TRUE(waitUntil([&] { return !engine.seekRequested; }));
    start = SDL_GetTicks();
    engine.release();
    EXPECT_LT(SDL_GetTicks() - start, 600u);
    EXPECT_FALSE(engine.opened);
}

TEST_F(Playback, TurnedClipsAreDrawnUpright) {
    // Red above blue when upright, stored a quarter turn either way.
    for (const char* name : {"phone90.mp4", "phone270.mp4"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(open(name, true));
        engine.paused = true;
        engine.displayScale = 1.0f;
        engine.layoutVideo(200, 200);
        // 320x180 stored, shown 200 high and 112 wide, centred.
        EXPECT_EQ(engine.destRect.x, 0);
        EXPECT_EQ(engine.destRect.y, 44);
        EXPECT_EQ(engine.destRect.w, 200);
        EXPECT_EQ(engine.destRect.h, 112);
        ASSERT_TRUE(waitForPicture());
        // Drawn the way the preview window draws it: through its render queue.
        RenderQueue queue(nullptr, canvas.renderer);
        queue.add(engine.renderEntry);
        canvas.clear();
        queue.renderAll();
        canvas.save(kalo::test::clipFolder().string() + "/" + name + ".bmp");
        const kalo::test::Rgba top = canvas.pixel(100, 30);
        const kalo::test::Rgba bottom = canvas.pixel(100, 170);
        const kalo::test::Rgba outside = canvas.pixel(20, 100);
        EXPECT_GT(top.r, 180);
        EXPECT_LT(top.b, 80);
        EXPECT_GT(bottom.b, 180);
        EXPECT_LT(bottom.r, 80);
        EXPECT_EQ(outside.r, 64);  // the background beside the standing picture

        // The thumbnail holds the stored picture too and is drawn turned the same way.
        ASSERT_TRUE(engine.captureThumbnail(canvas.renderer));
        canvas.clear();
        SDL_RenderCopyEx(canvas.renderer, engine.thumbnailTexture, nullptr, &engine.destRect,
                         engine.rotation, nullptr, SDL_FLIP_NONE);
        EXPECT_GT(canvas.pixel(100, 30).r, 180);
        EXPECT_GT(canvas.pixel(100, 170).b, 180);
    }
}

// The colour the software renderer draws for one flat YUV picture.
kalo::test::Rgba drawnColorOf(SoftwareCanvas& canvas, std::uint8_t y, std::uint8_t u, std::uint8_t v) {
    SDL_Texture* flat = SDL_CreateTexture(canvas.renderer, SDL_PIXELFORMAT_YV12,
                                          SDL_TEXTUREACCESS_STATIC, 64, 64);
    std::vector<std::uint8_t> luma(64 * 64, y), blue(32 * 32, u), red(32 * 32, v);
    SDL_UpdateYUVTexture(flat, nullptr, luma.data(), 64, blue.data(), 32, red.data(), 32);
    canvas.clear();
    SDL_RenderCopy(canvas.renderer, flat, nullptr, nullptr);
    SDL_DestroyTexture(flat);
    return canvas.pixel(100, 100);
}

TEST_F(Playback, ThumbnailIsTakenAtAFifthThenThePreviewRewinds) {
    ASSERT_TRUE(open("numbered1000.mp4", true));
    engine.paused = true;
    ASSERT_TRUE(waitForPicture());
    ASSERT_TRUE(engine.captureThumbnail(canvas.renderer));
    ASSERT_NE(engine.thumbnailTexture, nullptr);

    // Back at the start, paused, showing the first picture once it is decoded again.
    EXPECT_TRUE(engine.paused);
    ASSERT_TRUE(waitUntil([&] { return !engine.seekRequested && engine.pictureReady; }));
    EXPECT_EQ(enginetest::currentFrameNumber(engine), 0);

    // A fifth of 1000 frames is 200: the picture of the seek point before it, frame 180
    // (luma 180, blue difference 16).
    canvas.clear();
    SDL_RenderCopy(canvas.renderer, engine.thumbnailTexture, nullptr, nullptr);
    const kalo::test::Rgba thumbnail = canvas.pixel(100, 100);
    const kalo::test::Rgba frame180 = drawnColorOf(canvas, 180, 16, 128);
    const kalo::test::Rgba frame0 = drawnColorOf(canvas, 0, 16, 128);
    EXPECT_EQ(thumbnail.r, frame180.r);
    EXPECT_EQ(thumbnail.g, frame180.g);
    EXPECT_EQ(thumbnail.b, frame180.b);
    EXPECT_NE(thumbnail.g, frame0.g);
}

TEST_F(Playback, PicturesOfOtherPixelFormatsAreConvertedForTheTexture) {
    ASSERT_TRUE(open("white444.mp4", true));
    EXPECT_TRUE(engine.needConvert);
    engine.paused = true;
    engine.displayScale = 1.0f;
    engine.layoutVideo(200, 200);
    ASSERT_TRUE(waitForPicture());
    canvas.clear();
    engine.renderFrame(&canvas.renderer, nullptr, nullptr);
    const kalo::test::Rgba centre = canvas.pixel(100, 100);
    EXPECT_GT(centre.r, 230);
    EXPECT_GT(centre.g, 230);
    EXPECT_GT(centre.b, 230);
}

// The same on a real window and its own renderer (under the virtual display of the test
// command), with the texture re-created for that renderer as the preview window does.
TEST(PlaybackInWindow, TurnedClipIsUprightOnAWindowRenderer) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no display: " << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("preview test", 0, 0, 200, 200, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    {
        FFmpegHelper engine;
        ASSERT_EQ(engine.open(clip("phone90.mp4").string(), nullptr), 0);
        engine.paused = true;
        engine.displayScale = 1.0f;
        engine.layoutVideo(200, 200);
        engine.recreateTexture(renderer);
        ASSERT_NE(engine.texture, nullptr) << SDL_GetError();
        ASSERT_TRUE(waitUntil([&] { return engine.pictureReady.load(); }));
        RenderQueue queue(window, renderer);
        queue.add(engine.renderEntry);
        SDL_SetRenderDrawColor(renderer, 64, 64, 64, 255);
        SDL_RenderClear(renderer);
        queue.renderAll();
        std::vector<Uint32> pixels(200 * 200);
        ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA8888, pixels.data(),
                                       200 * 4),
                  0);
        auto channel = [&](int x, int y, int shift) { return (pixels[y * 200 + x] >> shift) & 0xff; };
        EXPECT_GT(channel(100, 30, 24), 180u);   // red above
        EXPECT_LT(channel(100, 30, 8), 80u);
        EXPECT_GT(channel(100, 170, 8), 180u);   // blue below
        EXPECT_LT(channel(100, 170, 24), 80u);
        EXPECT_EQ(channel(20, 100, 24), 64u);    // background beside the standing picture
        SDL_RenderPresent(renderer);
        engine.release();  // the texture goes before its renderer
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
