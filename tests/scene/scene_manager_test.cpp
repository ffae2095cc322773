// The scene registry, the main loop and child windows, on real SDL windows (the tests run
// under a virtual X display).
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "scene/scene_manager.h"
#include "scene/user_events.h"

namespace {

struct RecordingScene : ISceneObject {
    RecordingScene(SDL_Window* w, std::string n, bool initWorks = true)
        : ISceneObject(w, std::move(n)), initSucceeds(initWorks) {}

    void init() override {
        ++inits;
        ready = initSucceeds;
    }
    void handleEvent(const SDL_Event& event) override {
        ++events;
        eventThisPass = true;
        if (ownsEvent(event)) owned.push_back(event.type);
    }
    void render() override {
        ++renders;
        if (!eventThisPass && !lastAnswer) ++drawnUnasked;
        eventThisPass = false;
        if (onRender) onRender(*this);
    }
    // With `noFrameFor` set: says no for that many passes without events, then yes.
    bool wantsFrame() const override {
        if (noFrameFor < 0) return true;
        lastAnswer = ++frameQuestions > noFrameFor;
        return lastAnswer;
    }
    void quit() override {
        ++quits;
        ready = false;
        if (onQuit) onQuit(*this);
    }

    bool initSucceeds;
    int inits = 0, quits = 0, renders = 0, events = 0;
    int noFrameFor = -1;
    mutable int frameQuestions = 0;
    mutable bool lastAnswer = false;
    bool eventThisPass = false;
    int drawnUnasked = 0;  // drawn in a pass with no event although the scene said no
    std::vector<Uint32> owned;
    std::function<void(RecordingScene&)> onRender, onQuit;
};

class SceneManagerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("main", 0, 0, 320, 200, 0);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        sharedRenderer = SDL_CreateRenderer(window, -1, 0);
        ASSERT_NE(sharedRenderer, nullptr) << SDL_GetError();
        manager = createSceneManager();
    }
    void TearDown() override {
        manager.reset();
        SDL_DestroyRenderer(sharedRenderer);
        sharedRenderer = nullptr;
        SDL_DestroyWindow(window);
        SDL_Quit();
    }
    std::shared_ptr<RecordingScene> add(const std::string& name, bool initWorks = true) {
        auto scene = std::make_shared<RecordingScene>(window, name, initWorks);
        scene->renderer = sharedRenderer;
        scene->setManager(manager);
        manager->addScene(scene);
        return scene;
    }
    // Ends the loop after `frames` renders of `scene`.
    static void stopAfter(RecordingScene& scene, int frames) {
        if (scene.renders >= frames) scene.manager->quitRequested = true;
    }

    SDL_Window* window = nullptr;
    std::shared_ptr<SceneManager> manager;
};

TEST_F(SceneManagerTest, RegistryFindsRemovesAndKeepsOrder) {
    add("Main");
    add("预览器");
    add("Other");
    EXPECT_EQ(manager->indexOf("预览器"), 1);
    EXPECT_EQ(manager->indexOf("Unknown"), 3);
    manager->removeScene("预览器");
    EXPECT_EQ(manager->indexOf("预览器"), 2);  // the number of remaining scenes
    EXPECT_EQ(manager->indexOf("Other"), 1);
    manager->removeScene("Unknown");
    EXPECT_EQ(manager->scenes.size(), 2u);
}

TEST_F(SceneManagerTest, FailedFirstSetupPrintsAndSkipsTheLoop) {
    auto main = add("Main", false);
    testing::internal::CaptureStdout();
    manager->run();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "setup failed\n");
    EXPECT_EQ(main->inits, 1);
    EXPECT_EQ(main->renders, 0);
    EXPECT_EQ(main->quits, 0);
}

TEST_F(SceneManagerTest, LoopEndsAfterTheFrameThatRequestedItAndQuitsEveryScene) {
    auto main = add("Main");
    auto other = add("Other");
    main->onRender = [](RecordingScene& s) { stopAfter(s, 3); };
    pushUserEvent(EVT_CONVERSION_STARTED);
    manager->run();
    EXPECT_EQ(main->renders, 3);
    EXPECT_EQ(main->quits, 1);
    EXPECT_EQ(other->quits, 1);
    EXPECT_EQ(other->renders, 0);
    EXPECT_NE(std::find(main->owned.begin(), main->owned.end(), SDL_USEREVENT), main->owned.end());
    EXPECT_EQ(main->windowId, SDL_GetWindowID(window));
}

// An idle window is not redrawn: a scene that has nothing new is drawn only in passes that
// brought events, until it asks for a frame itself.
TEST_F(SceneManagerTest, ASceneWithNothingNewIsDrawnOnlyForEventsOrWhenItAsks) {
    auto main = add("Main");
    main->noFrameFor = 10;
    main->onRender = [](RecordingScene& s) {
        if (s.lastAnswer) s.manager->quitRequested = true;
    };
    pushUserEvent(EVT_CONVERSION_STARTED);
    manager->run();
    EXPECT_EQ(main->drawnUnasked, 0);
    EXPECT_EQ(main->frameQuestions, 11);
    EXPECT_GE(main->renders, 2);  // the user event's pass, and the pass that asked
    EXPECT_TRUE(main->lastAnswer);
}

TEST_F(SceneManagerTest, SwitchToSceneThatFailsSetupSuspendsIt) {
    auto main = add("Main");
    auto broken = add("Broken", false);
    auto child = add("Child");
    int switches = 0;
    main->onRender = [&](RecordingScene& s) {
        s.manager->switchScene("Nowhere");  // unknown: nothing changes
        s.manager->openWindow("Child", {160, 120});
        s.manager->switchScene("Broken");
        ++switches;
    };
    // The child window keeps running while the current scene is suspended, and ends the loop.
    child->onRender = [](RecordingScene& s) { stopAfter(s, 4); };
    manager->run();
    EXPECT_EQ(switches, 1);
    EXPECT_TRUE(manager->suspended);
    EXPECT_EQ(broken->inits, 1);
    EXPECT_EQ(broken->renders, 0);
    EXPECT_EQ(broken->events, 0);
    EXPECT_EQ(child->renders, 4);
}

TEST_F(SceneManagerTest, ChildWindowIsCreatedOnceShownAgainAndTornDownOnce) {
    auto main = add("Main");
    auto child = add("预览器");
    // Like the converter screen, the main scene's quit unregisters the preview scene, so
    // the preview is quit by its window's teardown only.
    main->onQuit = [](RecordingScene& s) { s.manager->removeScene("预览器"); };

    int frame = 0;
    int childRendersWhileHidden = -1;
    main->onRender = [&](RecordingScene& s) {
        ++frame;
        if (frame == 1) {
            s.manager->openWindow("预览器", {880, 540});
            s.manager->openWindow("预览器", {100, 100});  // reuses the window
        } else if (frame == 2) {
            s.manager->hideWindow("预览器");
            childRendersWhileHidden = child->renders;
        } else if (frame == 5) {
            EXPECT_EQ(child->renders, childRendersWhileHidden);  // hidden: no frames
            s.manager->openWindow("预览器", {880, 540});
        } else if (frame == 7) {
            s.manager->quitRequested = true;
        }
    };
    manager->run();

    EXPECT_EQ(child->inits, 1);   // set up once, when its window was created
    EXPECT_EQ(child->quits, 2);   // before that set-up, and at teardown
    EXPECT_EQ(main->quits, 1);
    EXPECT_TRUE(manager->childWindows.empty());
}

TEST_F(SceneManagerTest, ChildWindowEventsReachBothScenesButOnlyTheOwnerTakesThem) {
    auto main = add("Main");
    auto child = add("Child");
    int frame = 0;
    main->onRender = [&](RecordingScene& s) {
        ++frame;
        if (frame == 1) {
            s.manager->openWindow("Child", {200, 100});
            SDL_Event click;
            SDL_zero(click);
            click.type = SDL_MOUSEBUTTONDOWN;
            click.button.windowID = child->windowId;
            SDL_PushEvent(&click);
            click.button.windowID = main->windowId;
            SDL_PushEvent(&click);
        } else if (frame == 3) {
            s.manager->quitRequested = true;
        }
    };
    manager->run();
    const auto clicks = [](const RecordingScene& s) {
        return std::count(s.owned.begin(), s.owned.end(), Uint32(SDL_MOUSEBUTTONDOWN));
    };
    EXPECT_NE(child->windowId, main->windowId);
    EXPECT_EQ(clicks(*main), 1);
    EXPECT_EQ(clicks(*child), 1);
    EXPECT_GE(child->events, 2);  // both clicks were delivered to the child scene
}

TEST(UserEvents, CodeAndValueTravelThroughTheQueue) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    ASSERT_TRUE(pushUserEvent(EVT_CONVERSION_FINISHED, -3));
    SDL_Event event;
    ASSERT_EQ(SDL_PollEvent(&event), 1);
    EXPECT_EQ(event.type, SDL_USEREVENT);
    EXPECT_EQ(event.user.code, EVT_CONVERSION_FINISHED);
    EXPECT_EQ(userEventValue(event), -3);
    SDL_Quit();
}

}  // namespace
