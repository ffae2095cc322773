// Seeks against a decoder that is slow to hand its pictures over: a picture decoded before
// a seek may still be on its way when the seek is asked for and applied. Whatever the
// timing, the shown picture, `position` and the progress report belong to the new place.
#include <gtest/gtest.h>

#include <vector>

#include "clip_factory.h"
#include "engine_support.h"
#include "player/ffmpeg_helper.h"

namespace {

using kalo::test::clip;
using kalo::test::SoftwareCanvas;
using enginetest::currentFrameNumber;

class SeekRace : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        // Every picture reaches the engine 15 ms after it was decoded: the window in which
        // an old picture can arrive after the seek.
        engine.beforePicturePublished = [] { SDL_Delay(15); };
        engine.pacing = false;
        ASSERT_EQ(engine.open(clip("numbered1000.mp4").string(), canvas.renderer), 0);
        engine.progressCallback = [this](float value) { reports.push_back(value); };
    }
    void TearDown() override { engine.release(); }

    SoftwareCanvas canvas{64, 64};
    FFmpegHelper engine;
    std::vector<float> reports;
};

TEST_P(SeekRace, SeekLandsOnItsPointWhileOldPicturesAreInFlight) {
    const bool paused = GetParam();
    engine.paused = paused;
    ASSERT_TRUE(engine.waitForPicture(10000));
    struct Target {
        float fraction;
        int requested, point;
    };
    const Target targets[] = {{0.5f, 500, 480}, {0.1f, 100, 90}, {0.75f, 750, 750},
                              {0.33f, 330, 330}, {0.02f, 20, 0}, {0.9f, 900, 900}};
    for (const Target& t : targets) {
        SCOPED_TRACE(t.requested);
        engine.seek(t.fraction);
        EXPECT_EQ(engine.position, t.requested);
        SDL_Delay(20);  // an old picture in flight lands now, if anything lets it
        EXPECT_EQ(engine.position, t.requested);
        reports.clear();
        engine.syncPosition();
        EXPECT_EQ(engine.position, t.point);
        ASSERT_EQ(reports.size(), 1u) << "the seek is reported, also while paused";
        EXPECT_FLOAT_EQ(reports[0], t.point / 1000.0f);

        ASSERT_TRUE(engine.waitForPicture(10000));
        if (paused) {
            // The first picture of the new place, and the position that belongs to it.
            EXPECT_EQ(currentFrameNumber(engine), t.point);
            EXPECT_EQ(engine.position, t.point + 1);
        } else {
            // Playing on from the new place: the picture and position move together.
            SDL_LockMutex(engine.mutex);
            const std::int64_t position = engine.position;
            SDL_UnlockMutex(engine.mutex);
            EXPECT_GE(position, t.point + 1);
            EXPECT_LT(position, t.point + 200);
        }
        EXPECT_FALSE(engine.seekRequested);
    }
}

TEST_P(SeekRace, PositionAndPictureAgreeUnderTheLock) {
    engine.paused = GetParam();
    ASSERT_TRUE(engine.waitForPicture(10000));
    for (float fraction : {0.3f, 0.6f, 0.15f}) {
        engine.seek(fraction);
        engine.syncPosition();
        ASSERT_TRUE(engine.waitForPicture(10000));
        // Whoever holds the engine's mutex sees a picture and the position written with it.
        for (int i = 0; i < 5; ++i) {
            SDL_LockMutex(engine.mutex);
            const std::int64_t position = engine.position;
            SDL_UnlockMutex(engine.mutex);
            const int shown = currentFrameNumber(engine);  // may be newer when playing
            EXPECT_GE(shown + 1, position);
            SDL_Delay(5);
        }
    }
}

TEST(SeekRaceThumbnail, CapturesTheSeekPointNeverALaterFrame) {
    SoftwareCanvas canvas{64, 64};
    FFmpegHelper engine;
    engine.beforePicturePublished = [] { SDL_Delay(5); };
    engine.pacing = false;  // a playing decoder would race past the seek point at once
    ASSERT_EQ(engine.open(clip("numbered1000.mp4").string(), canvas.renderer), 0);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(engine.captureThumbnail(canvas.renderer));
        // The thumbnail holds frame 180 exactly: draw it and compare with frame 181's colour.
        canvas.clear();
        SDL_RenderCopy(canvas.renderer, engine.thumbnailTexture, nullptr, nullptr);
        const kalo::test::Rgba thumb = canvas.pixel(32, 32);
        // Luma 180 against 181 differs by about one step in green.
        std::vector<std::uint8_t> luma(64 * 64, 180), blue(32 * 32, 16), red(32 * 32, 128);
        SDL_Texture* reference = SDL_CreateTexture(canvas.renderer, SDL_PIXELFORMAT_YV12,
                                                   SDL_TEXTUREACCESS_STATIC, 64, 64);
        SDL_UpdateYUVTexture(reference, nullptr, luma.data(), 64, blue.data(), 32, red.data(), 32);
        canvas.clear();
        SDL_RenderCopy(canvas.renderer, reference, nullptr, nullptr);
        SDL_DestroyTexture(reference);
        const kalo::test::Rgba frame180 = canvas.pixel(32, 32);
        EXPECT_EQ(thumb.g, frame180.g);
        EXPECT_EQ(thumb.r, frame180.r);
        EXPECT_TRUE(engine.paused);
        engine.paused = false;  // playing again before the next capture
    }
    engine.release();
}

INSTANTIATE_TEST_SUITE_P(PausedOrPlaying, SeekRace, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Paused" : "Playing";
                         });

}  // namespace
