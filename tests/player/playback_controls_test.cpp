// The thumbnail button and the faces of the play/pause control.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_ttf.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "clip_factory.h"
#include "engine_support.h"
#include "player/play_pause_button.h"
#include "player/preview_button.h"

namespace {

using kalo::test::clip;

std::string describe(const SDL_Rect& r) {
    return "{" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.w) +
           ", " + std::to_string(r.h) + "}";
}

TEST(ThumbnailRect, FillsTheButtonHeightAndStandsTurnedPicturesUp) {
    struct Case {
        int width, height, rotation;
        SDL_Rect expected;
    };
    const SDL_Rect button{50, 95, 600, 385};
    const Case cases[] = {
        {1920, 1080, 0, {8, 95, 684, 385}},      // wider than the button: overflows both sides
        {1920, 1080, 90, {158, 179, 384, 216}},  // drawn turned about the centre
        {1920, 1080, 270, {158, 179, 384, 216}},
        {1920, 1080, 180, {8, 95, 684, 385}},
        {640, 480, 0, {93, 95, 513, 385}},
        {0, 0, 0, {50, 95, 0, 0}},  // no picture size: nothing to draw
    };
    for (const Case& c : cases) {
        const SDL_Rect r = thumbnailRect(button, c.width, c.height, c.rotation);
        EXPECT_EQ(describe(r), describe(c.expected))
            << c.width << "x" << c.height << " turned " << c.rotation;
    }
}

class Controls : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(TTF_Init(), 0);
    }
    void TearDown() override {
        engine->release();
        TTF_Quit();
        SDL_Quit();
    }

    std::shared_ptr<PreviewButton> makeButton() {
        auto button = std::shared_ptr<PreviewButton>(new PreviewButton(
            canvas.renderer, {600, 385}, {50, 95}, engine, "./image/player_button.png",
            [this](std::string scene, glm::ivec2 size) {
                openedScene = std::move(scene);
                openedSize = size;
                ++opens;
            }));
        return button;
    }

    kalo::test::SoftwareCanvas canvas{700, 500};
    std::shared_ptr<FFmpegHelper> engine = std::make_shared<FFmpegHelper>();
    std::string openedScene;
    glm::ivec2 openedSize{0, 0};
    int opens = 0;
};

TEST_F(Controls, PreviewButtonIgnoresEverythingUntilASourceIsOpen) {
    auto button = makeButton();
    EXPECT_GT(button->hoverRect.w, 0);
    EXPECT_FALSE(button->isInside({300, 300}));
    EXPECT_FALSE(button->onPress({300, 300}));
    EXPECT_FALSE(button->hoverShown);
    canvas.clear();
    button->render();
    EXPECT_EQ(canvas.pixel(300, 300).r, 64);  // nothing drawn
    EXPECT_EQ(opens, 0);
}

TEST_F(Controls, PreviewButtonShowsTheFifthAndOpensThePreview) {
    engine->pacing = true;
    ASSERT_EQ(engine->open(clip("numbered1000.mp4").string(), canvas.renderer), 0);
    engine->paused = true;
    auto button = makeButton();
    button->makeThumbnail();
    ASSERT_NE(button->thumbImage, nullptr);
    EXPECT_EQ(describe(button->thumbRect), describe(SDL_Rect{157, 95, 385, 385}));  // square
    // Its content (the seek point before the fifth) is checked by the engine's tests.
    canvas.clear();
    button->render();
    EXPECT_NE(canvas.pixel(350, 150).r, 64);
    EXPECT_EQ(canvas.pixel(100, 150).r, 64);  // left of the square picture
    // The engine is back on the first frame, paused.
    EXPECT_TRUE(engine->paused);
    ASSERT_TRUE(engine->waitForPicture(10000));
    EXPECT_EQ(enginetest::currentFrameNumber(*engine), 0);

    // Hover draws the hover image over the thumbnail; leaving takes it away.
    EXPECT_TRUE(button->isInside({350, 287}));
    EXPECT_TRUE(button->hoverShown);
    canvas.clear();
    button->render();
    const kalo::test::Rgba hovered = canvas.pixel(350, 287);
    EXPECT_FALSE(button->isInside({650, 287}));  // on the right edge: outside
    EXPECT_FALSE(button->hoverShown);
    canvas.clear();
    button->render();
    const kalo::test::Rgba plain = canvas.pixel(350, 287);
    EXPECT_FALSE(hovered.r == plain.r && hovered.g == plain.g && hovered.b == plain.b);

    EXPECT_TRUE(button->onPress({100, 100}));
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(openedScene, "预览器");
    EXPECT_EQ(openedSize, glm::ivec2(880, 540));
    EXPECT_FALSE(button->onPress({40, 100}));
    EXPECT_EQ(opens, 1);
}

TEST_F(Controls, ThumbnailOfASourceWithoutPicturesGivesUpWithinItsBound) {
    // A decoder that never gets a picture out (until it is told to stop).
    std::atomic<bool> release{false};
    FFmpegHelper* raw = engine.get();
    engine->beforePicturePublished = [&release, raw] {
        enginetest::waitUntil(
            [&] { return release || raw->decoderState == ThreadState::StopRequested; }, 20000);
    };
    engine->thumbnailWaitMs = 300;
    ASSERT_EQ(engine->open(clip("count250.mp4").string(), canvas.renderer), 0);
    auto button = makeButton();
    testing::internal::CaptureStdout();
    button->makeThumbnail();
    const std::string printed = testing::internal::GetCapturedStdout();
    release = true;
    EXPECT_EQ(button->thumbImage, nullptr);
    EXPECT_NE(printed.find("No picture for the thumbnail within 300 ms\n"), std::string::npos)
        << printed;
    EXPECT_TRUE(engine->paused);
    canvas.clear();
    button->render();
    EXPECT_EQ(canvas.pixel(300, 300).r, 64);  // no thumbnail drawn
    engine->release();
    engine->beforePicturePublished = nullptr;
}

TEST_F(Controls, PlayPauseFaceDrawsItsImageOrElseItsGlyph) {
    PlayPauseButton withImage(canvas.renderer, {40, 40}, {100, 100});
    withImage.setIcon("./font/fontello.ttf", 0xE800, {255, 255, 255, 255}, 12);
    withImage.setImages("./image/play_button.png", "./image/play_button720.png", {100, 100}, {40, 40});
    ASSERT_NE(withImage.smallImage, nullptr);
    ASSERT_NE(withImage.largeImage, nullptr);
    EXPECT_EQ(withImage.currentImage, withImage.smallImage);
    withImage.resize({1920, 1080});
    EXPECT_EQ(withImage.currentImage, withImage.largeImage);
    EXPECT_EQ(withImage.imageRect.w, 66);  // 40 * 1920 / 1152
    withImage.resize({1152, 648});
    EXPECT_EQ(withImage.currentImage, withImage.smallImage);
    EXPECT_EQ(withImage.imageRect.w, 40);
    canvas.clear();
    withImage.render();
    EXPECT_NE(canvas.pixel(120, 120).r, 64);

    PlayPauseButton glyphOnly(canvas.renderer, {40, 40}, {300, 100});
    glyphOnly.setIcon("./font/fontello.ttf", 0xE801, {255, 255, 255, 255}, 12);
    glyphOnly.setImages("./image/missing.png", "", {300, 100}, {40, 40});
    EXPECT_EQ(glyphOnly.currentImage, nullptr);
    ASSERT_NE(glyphOnly.glyph, nullptr);
    ASSERT_NE(glyphOnly.glyph->texture, nullptr);
    canvas.clear();
    glyphOnly.render();
    int lit = 0;
    for (int y = 100; y < 120; ++y)
        for (int x = 300; x < 320; ++x) lit += canvas.pixel(x, y).r > 200 ? 1 : 0;
    EXPECT_GT(lit, 5);

    int presses = 0;
    glyphOnly.setCallback([&] { ++presses; });
    EXPECT_TRUE(glyphOnly.onPress({0, 0}));  // the cover tests; the face does not
    EXPECT_EQ(presses, 1);
}

}  // namespace
