// The preview window's scene in a real child window opened by the real scene manager:
// layout, mouse input, the play/pause control and closing.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>

#include "clip_factory.h"
#include "config/json_base.h"
#include "conversion/windows_manager.h"
#include "engine_support.h"
#include "player/player_window.h"
#include "scene/scene_manager.h"

namespace {

using kalo::test::clip;
using enginetest::currentFrameNumber;

bool sameRect(const SDL_Rect& a, const SDL_Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

std::string describe(const SDL_Rect& r) {
    return "{" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.w) +
           ", " + std::to_string(r.h) + "}";
}

#define EXPECT_RECT(actual, ...)                                                  \
    do {                                                                          \
        const SDL_Rect expected{__VA_ARGS__};                                     \
        EXPECT_TRUE(sameRect(actual, expected))                                   \
            << #actual << " is " << describe(actual) << ", expected " << describe(expected); \
    } while (0)

class PreviewWindow : public testing::Test {
protected:
    void SetUp() override {
#if defined(__SANITIZE_THREAD__)
        // Mesa's OpenGL renderer hands work to its own threads inside an uninstrumented
        // library, which ThreadSanitizer reports as races; SDL's software renderer on the
        // same real windows keeps every report about our own code.
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
#endif
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(TTF_Init(), 0);
        mainWindow = SDL_CreateWindow("main", 0, 0, 320, 200, SDL_WINDOW_HIDDEN);
        ASSERT_NE(mainWindow, nullptr) << SDL_GetError();
        sharedRenderer = SDL_CreateRenderer(mainWindow, -1, 0);
        ASSERT_NE(sharedRenderer, nullptr) << SDL_GetError();
        manager = createSceneManager();
        sceneName = uiConfig->getString("PARAM_OTHER", "SCENE_NAME_PLAYER");
        ASSERT_EQ(sceneName, "预览器");
        engine = std::make_shared<FFmpegHelper>();
        player = std::make_shared<PlayerWindow>(sharedRenderer, mainWindow, sceneName, engine);
        player->setManager(manager);
        manager->addScene(player);
        // The cover button shows playback only once the job has a source.
        JobSnapshot job = windowsManager->snapshot();
        job.input = L"source.mp4";
        ASSERT_TRUE(windowsManager->update(job));
    }
    void TearDown() override {
        if (engine) engine->release();
        manager->childWindows.clear();  // tears the child window down (the scene's quit)
        for (auto& scene : manager->scenes) scene->manager.reset();
        player.reset();
        manager.reset();
        engine.reset();
        SDL_DestroyRenderer(sharedRenderer);
        sharedRenderer = nullptr;
        SDL_DestroyWindow(mainWindow);
        TTF_Quit();
        SDL_Quit();
    }

    // Opens `name` paused (as the converter screen does), then the preview window.
    void openPreview(const std::string& name, bool pacing = true) {
        engine->pacing = pacing;
        ASSERT_EQ(engine->open(clip(name).string(), sharedRenderer), 0);
        engine->paused = true;
        manager->openWindow(sceneName, {880, 540});
        ASSERT_EQ(manager->childWindows.size(), 1u);
        ASSERT_TRUE(player->ready);
        ASSERT_NE(player->window, mainWindow);
    }

    SDL_Event windowEvent(Uint8 kind) const {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = kind;
        event.window.windowID = player->windowId;
        return event;
    }
    SDL_Event press(int x, int y, Uint32 windowId) const {
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.windowID = windowId;
        event.button.x = x;
        event.button.y = y;
        return event;
    }
    SDL_Event motion(int x, int y, Uint32 buttons) const {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = player->windowId;
        event.motion.state = buttons;
        event.motion.x = x;
        event.motion.y = y;
        return event;
    }
    void pressButton() { player->handleEvent(press(480, 520, player->windowId)); }
    // Frames of the preview until `condition` holds (bounded).
    bool renderUntil(const std::function<bool()>& condition) {
        return enginetest::waitUntil([&] {
            player->render();
            return condition();
        });
    }

    SDL_Window* mainWindow = nullptr;
    std::shared_ptr<SceneManager> manager;
    std::shared_ptr<FFmpegHelper> engine;
    std::shared_ptr<PlayerWindow> player;
    std::string sceneName;
};

TEST_F(PreviewWindow, FirstEventAndResizeLayTheWindowOut) {
    openPreview("hd1080.mp4");
    EXPECT_RECT(player->sliderRect, 0, 480, 880, 20);
    EXPECT_RECT(player->barRect, 0, 485, 880, 10);
    EXPECT_RECT(player->playButton->rect, 460, 500, 40, 40);
    EXPECT_EQ(player->seekSlider->rect.y, 480);

    // The texture moves to the preview's renderer with the first event the window gets.
    SDL_Event first{};
    first.type = SDL_USEREVENT;
    player->handleEvent(first);
    EXPECT_FALSE(player->relayoutPending);
    EXPECT_RECT(engine->destRect, 18, 0, 844, 475);
    ASSERT_TRUE(engine->waitForPicture(10000));
    player->render();
    std::vector<Uint32> pixels(880 * 540);
    ASSERT_EQ(SDL_RenderReadPixels(player->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888,
                                   pixels.data(), 880 * 4), 0);
    // Left of the picture the background, on it the picture, under it the dark groove.
    EXPECT_EQ(pixels[200 * 880 + 5] & 0xffffff, 0x404040u);
    EXPECT_NE(pixels[200 * 880 + 440] & 0xffffff, 0x404040u);
    EXPECT_EQ(pixels[490 * 880 + 800] & 0xffffff, 0x101010u);

    SDL_SetWindowSize(player->window, 1000, 700);
    player->handleEvent(windowEvent(SDL_WINDOWEVENT_RESIZED));
    EXPECT_RECT(player->sliderRect, 0, 640, 1000, 20);
    EXPECT_RECT(player->barRect, 0, 645, 1000, 10);
    EXPECT_EQ(player->playButton->rect.x, 520);
    EXPECT_EQ(player->playButton->rect.y, 660);
    EXPECT_RECT(engine->destRect, 0, 36, 1000, 562);  // 1000 x 635 video area
}

TEST_F(PreviewWindow, RefitPictureMatchesTheRelayout) {
    openPreview("hd1080.mp4");
    engine->destRect = SDL_Rect{0, 0, 1, 1};
    engine->displayScale = 0.5f;
    player->refitPicture();
    EXPECT_RECT(engine->destRect, 18, 0, 844, 475);
    EXPECT_FALSE(player->relayoutPending);
}

TEST_F(PreviewWindow, MainWindowEventsNeverReachTheControls) {
    openPreview("numbered1000.mp4");
    ASSERT_TRUE(engine->waitForPicture(10000));
    const Uint32 mainId = SDL_GetWindowID(mainWindow);
    ASSERT_NE(mainId, player->windowId);
    player->handleEvent(press(480, 520, mainId));  // where the preview's button is
    player->handleEvent(press(440, 490, mainId));  // on the preview's track
    EXPECT_TRUE(engine->paused);
    EXPECT_FALSE(engine->seekRequested);
    EXPECT_EQ(player->seekSlider->knobImageRect.x, 0);
    EXPECT_EQ(player->playButton->active, false);
}

TEST_F(PreviewWindow, ClickAndDragOnTheTrackSeekThere) {
    openPreview("numbered1000.mp4");
    ASSERT_TRUE(engine->waitForPicture(10000));
    // Half the track: frame 500, on the seek point at 480.
    player->handleEvent(press(440, 490, player->windowId));
    EXPECT_EQ(player->seekSlider->knobImageRect.x, 440);
    EXPECT_EQ(engine->position, 500);
    player->render();  // applies the seek and reports its point to the knob
    EXPECT_EQ(player->seekSlider->knobImageRect.x, static_cast<int>(880 * 0.48f));
    ASSERT_TRUE(engine->waitForPicture(10000));
    EXPECT_EQ(currentFrameNumber(*engine), 480);
    EXPECT_EQ(engine->position, 481);

    // Dragging with the left button held; beyond the track the knob stays at its end.
    player->handleEvent(motion(100, 490, SDL_BUTTON_LMASK));
    player->render();
    ASSERT_TRUE(engine->waitForPicture(10000));
    EXPECT_EQ(currentFrameNumber(*engine), 90);  // 113 -> point 90
    player->handleEvent(motion(300, 490, 0));    // no button: no seek
    EXPECT_FALSE(engine->seekRequested);
    EXPECT_EQ(currentFrameNumber(*engine), 90);
}

TEST_F(PreviewWindow, CoverButtonTogglesFromPlayingAndReplaysAfterTheEnd) {
    openPreview("numbered1000.mp4");
    engine->paused = false;  // playing
    ASSERT_TRUE(engine->waitForPicture(10000));
    EXPECT_EQ(player->playButton->shownChild(), 1);  // pause face while playing
    const bool expectedPaused[] = {true, false, true};
    for (bool paused : expectedPaused) {
        pressButton();
        EXPECT_EQ(engine->paused.load(), paused);
        EXPECT_EQ(player->playButton->shownChild(), paused ? 0 : 1);
    }

    // To the end at full speed: the button takes its ended look, and a press replays.
    engine->pacing = false;
    player->handleEvent(press(870, 490, player->windowId));  // near the end of the track
    engine->paused = false;
    ASSERT_TRUE(renderUntil([&] { return engine->ended.load(); }));
    player->render();
    EXPECT_TRUE(player->playButton->endedMode);
    EXPECT_EQ(player->playButton->shownChild(), 0);
    engine->pacing = true;
    pressButton();
    EXPECT_FALSE(engine->ended);
    EXPECT_FALSE(engine->paused);
    EXPECT_FALSE(player->playButton->endedMode);
    EXPECT_EQ(player->playButton->shownChild(), 1);
    ASSERT_TRUE(engine->waitForPicture(10000));
    EXPECT_LT(currentFrameNumber(*engine), 30);  // from the start again
}

TEST_F(PreviewWindow, ClosingWhilePlayingRewindsPausesAndHides) {
    openPreview("numbered1000.mp4");
    engine->paused = false;
    ASSERT_TRUE(renderUntil([&] { return engine->position > 40; }));
    player->handleEvent(windowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_TRUE(engine->paused);
    EXPECT_FALSE(manager->childWindows[0]->shown);
    EXPECT_FALSE(manager->childWindowsActive);
    EXPECT_TRUE(SDL_GetWindowFlags(player->window) & SDL_WINDOW_HIDDEN);
    ASSERT_TRUE(engine->waitForPicture(10000));
    EXPECT_EQ(currentFrameNumber(*engine), 0);
    EXPECT_EQ(engine->position, 1);
    EXPECT_EQ(player->seekSlider->knobImageRect.x, 0);

    // Reopening shows the same window and scene, on the first frame, still paused.
    SDL_Window* before = player->window;
    manager->openWindow(sceneName, {880, 540});
    EXPECT_EQ(manager->childWindows.size(), 1u);
    EXPECT_EQ(player->window, before);
    EXPECT_TRUE(manager->childWindows[0]->shown);
    for (int i = 0; i < 5; ++i) player->render();
    EXPECT_TRUE(engine->paused);
    EXPECT_EQ(currentFrameNumber(*engine), 0);
    EXPECT_EQ(player->playButton->shownChild(), 0);
}

}  // namespace
