// The converter screen in a real window: what init builds, how events change the screen and
// the job record, the completion display and the information panel. Message boxes are
// answered by a script; files come from the clips the player tests make.
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "clip_factory.h"
#include "config/json_base.h"
#include "config/option_tables.h"
#include "conversion/conversion_job.h"
#include "conversion/windows_manager.h"
#include "platform/message_box.h"
#include "player/ffmpeg_helper.h"
#include "player/preview_button.h"
#include "scene/scene_manager.h"
#include "scene/user_events.h"
#include "screen/button_table.h"
#include "screen/console_panel.h"
#include "screen/input_file_button.h"
#include "screen/main_scene.h"
#include "screen/video_info.h"
#include "widgets/ani_text_list.h"
#include "widgets/final_progress_bar.h"

namespace {

namespace fs = std::filesystem;
using kalo::platform::MessageBoxKind;
using kalo::platform::MessageBoxRequest;

class ConverterScreen : public testing::Test {
protected:
    void SetUp() override {
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) GTEST_SKIP() << SDL_GetError();
        TTF_Init();
        IMG_Init(IMG_INIT_PNG);
        refreshOptionTables();
        window = SDL_CreateWindow("screen", 0, 0, 1152, 648, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        renderer = SDL_CreateRenderer(window, -1, 0);
        ASSERT_NE(renderer, nullptr) << SDL_GetError();
        sharedRenderer = renderer;
        manager = createSceneManager();
        scene = std::make_shared<MainScene>(renderer, window, "Main");
        scene->windowId = SDL_GetWindowID(window);
        scene->setManager(manager);
        manager->addScene(scene);
        previousBoxes = kalo::platform::setMessageBoxHandler([this](const MessageBoxRequest& box) {
            boxes.push_back(box);
            return 0;
        });
        appQuitting = false;
        *windowsManager = WindowsManager();
        scene->init();
        ASSERT_TRUE(scene->ready);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    void TearDown() override {
        if (scene) scene->quit();
        scene.reset();
        if (manager) manager->childWindows.clear();
        manager.reset();
        kalo::platform::setMessageBoxHandler(previousBoxes);
        appQuitting = false;
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        sharedRenderer = nullptr;
        IMG_Quit();
        TTF_Quit();
        SDL_Quit();
    }

    // Hands every queued event to the screen, as the main loop would.
    void deliverQueuedEvents() {
        SDL_Event event;
        while (SDL_PollEvent(&event)) scene->handleEvent(event);
    }

    void drop(const fs::path& file) {
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_DROPFILE;
        event.drop.file = SDL_strdup(file.u8string().c_str());
        event.drop.windowID = SDL_GetWindowID(window);
        scene->handleEvent(event);
    }

    void key(SDL_Keycode sym, Uint16 modifiers) {
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_KEYDOWN;
        event.key.windowID = SDL_GetWindowID(window);
        event.key.keysym.sym = sym;
        event.key.keysym.mod = modifiers;
        scene->handleEvent(event);
    }

    void userEvent(Sint32 code, Sint32 value = 0) {
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_USEREVENT;
        event.user.code = code;
        event.user.data1 = reinterpret_cast<void*>(static_cast<intptr_t>(value));
        scene->handleEvent(event);
    }

    // A copy of a test clip under another name (the drop checks the name's extension).
    fs::path clipNamed(const std::string& clipName, const std::string& fileName) {
        const fs::path folder = fs::temp_directory_path() / "kalo-screen-test";
        fs::create_directories(folder);
        const fs::path target = folder / fs::u8path(fileName);
        fs::copy_file(kalo::test::clip(clipName), target, fs::copy_options::overwrite_existing);
        return target;
    }

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::shared_ptr<SceneManager> manager;
    std::shared_ptr<MainScene> scene;
    std::vector<MessageBoxRequest> boxes;
    kalo::platform::MessageBoxHandler previousBoxes;
};

SDL_Rect rectOf(const std::array<int, 4>& r) { return {r[0], r[1], r[2], r[3]}; }

bool sameRect(const SDL_Rect& a, const SDL_Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

std::string describe(const SDL_Rect& r) {
    return "{" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.w) +
           ", " + std::to_string(r.h) + "}";
}

}  // namespace

TEST_F(ConverterScreen, BuildsFiveWidgetsOnceAndAfreshAfterQuit) {
    EXPECT_TRUE(sameRect(scene->panelRect, {0, 5, 1152, 598})) << describe(scene->panelRect);
    EXPECT_TRUE(sameRect(scene->widgets->preview->rect, {50, 95, 1052, 385}))
        << describe(scene->widgets->preview->rect);
    EXPECT_TRUE(sameRect(rectOf(scene->progressRect), {33, 402, 759, 108}));
    EXPECT_TRUE(sameRect(scene->videoInfo->rect, {436, 514, 360, 90}));
    ASSERT_EQ(screenWidgets.size(), 5u);
    // The order in which presses and drawing reach them.
    EXPECT_EQ(screenWidgets[0], std::static_pointer_cast<ButtonBase>(scene->widgets->inputButton));
    EXPECT_EQ(screenWidgets[4], std::static_pointer_cast<ButtonBase>(scene->widgets->preview));

    scene->init();  // already built: nothing changes
    EXPECT_EQ(screenWidgets.size(), 5u);
    scene->quit();
    EXPECT_TRUE(screenWidgets.empty());
    EXPECT_FALSE(scene->ready);
    EXPECT_EQ(manager->indexOf(otherText("SCENE_NAME_PLAYER")), static_cast<int>(manager->scenes.size()));
    scene->init();
    EXPECT_TRUE(scene->ready);
    EXPECT_EQ(screenWidgets.size(), 5u);
    EXPECT_LT(manager->indexOf(otherText("SCENE_NAME_PLAYER")), static_cast<int>(manager->scenes.size()));
}

TEST_F(ConverterScreen, DroppedFilesAreCheckedByExtensionAndOpened) {
    JobSnapshot before = windowsManager->snapshot();
    before.input = L"/earlier/source.mp4";
    before.output = L"/out/earlier_SBS.mp4";
    before.depthLevelIndex = 1;
    ASSERT_TRUE(windowsManager->update(before));

    struct Case {
        std::string clip, name;
        bool accepted;
        MessageBoxKind box;
    };
    const Case cases[] = {
        {"count250.mkv", "upper case.MKV", true, MessageBoxKind::Information},
        {"count250.mp4", "backup.mp4.bak", false, MessageBoxKind::Warning},
        {"count250.mp4", "no-extension", false, MessageBoxKind::Warning},
        {"garbage.mp4", "broken 文件.mp4", false, MessageBoxKind::Error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        const JobSnapshot previous = windowsManager->snapshot();
        const fs::path file = clipNamed(c.clip, c.name);
        drop(file);
        SDL_Event queued;
        const bool sourceLoaded = SDL_PeepEvents(&queued, 1, SDL_GETEVENT, SDL_USEREVENT, SDL_USEREVENT) == 1 &&
                                  queued.user.code == EVT_SOURCE_LOADED;
        const JobSnapshot after = windowsManager->snapshot();
        if (c.accepted) {
            EXPECT_TRUE(boxes.empty());
            EXPECT_TRUE(sourceLoaded);
            EXPECT_EQ(after.input, file.wstring());
            EXPECT_TRUE(scene->engine->opened);
            EXPECT_TRUE(scene->engine->paused);
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].kind, c.box);
            EXPECT_EQ(boxes[0].title, otherText("KALO_LOADFILEINTO_NOTE"));
            EXPECT_EQ(boxes[0].text, otherText("KALO_LOADFILEINTO_FAIL"));
            EXPECT_FALSE(sourceLoaded);
            EXPECT_EQ(after.input, previous.input);
        }
        // A drop never changes where the result goes or the depth strength.
        EXPECT_EQ(after.output, before.output);
        EXPECT_EQ(after.depthLevelIndex, before.depthLevelIndex);
    }
}

TEST_F(ConverterScreen, QuitIsRefusedWhileConvertingAndAcceptedOtherwise) {
    scene->converting = true;
    for (const SDL_EventType type : {SDL_QUIT, SDL_KEYDOWN}) {
        boxes.clear();
        if (type == SDL_KEYDOWN) {
            key(SDLK_ESCAPE, KMOD_NONE);  // Escape asks for a quit ...
        } else {
            SDL_Event quitEvent;
            SDL_zero(quitEvent);
            quitEvent.type = SDL_QUIT;
            SDL_PushEvent(&quitEvent);
        }
        deliverQueuedEvents();  // ... which is refused while the job runs
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, MessageBoxKind::Error);
        EXPECT_EQ(boxes[0].text, videoInfoText("msg_quitwarn"));
        EXPECT_FALSE(manager->quitRequested);
    }
    EXPECT_FALSE(appQuitting);

    scene->converting = false;
    boxes.clear();
    key(SDLK_ESCAPE, KMOD_NONE);
    deliverQueuedEvents();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(appQuitting);
    EXPECT_TRUE(manager->quitRequested);
}

TEST_F(ConverterScreen, ControlShortcutsSwitchPreviewLooksAndTheConsolePanel) {
    drop(clipNamed("count250.mp4", "looks.mp4"));
    deliverQueuedEvents();
    JobSnapshot chosen = windowsManager->snapshot();
    chosen.filterIndex = 2;
    ASSERT_TRUE(windowsManager->update(chosen));
    scene->engine->activeFilter = -1;

    key(SDLK_4, KMOD_LCTRL);  // a preview-only look: the job keeps its colour filter
    EXPECT_EQ(scene->engine->activeFilter, 101);
    EXPECT_EQ(windowsManager->snapshot().filterIndex, 2);
    key(SDLK_4, KMOD_LCTRL);  // pressed again: off, for the job too
    EXPECT_EQ(scene->engine->activeFilter, -1);
    EXPECT_EQ(windowsManager->snapshot().filterIndex, -1);

    key(SDLK_4, KMOD_RCTRL);  // the right Control key does nothing
    EXPECT_EQ(scene->engine->activeFilter, -1);
    const bool panelBefore = scene->consolePanel->shown;
    key(SDLK_1, KMOD_RCTRL);
    EXPECT_EQ(scene->consolePanel->shown, panelBefore);
    key(SDLK_1, KMOD_LCTRL);
    EXPECT_NE(scene->consolePanel->shown, panelBefore);
    key(SDLK_1, KMOD_LCTRL);
    EXPECT_EQ(scene->consolePanel->shown, panelBefore);
}

TEST_F(ConverterScreen, SourceLoadedRebuildsThePanelWithTheLastSourceOnly) {
    EXPECT_EQ(scene->videoInfo->title, nullptr);  // nothing to show before a source
    drop(clipNamed("count250.mp4", "first.mp4"));
    deliverQueuedEvents();
    ASSERT_EQ(scene->videoInfo->texts.size(), 4u);
    EXPECT_EQ(scene->videoInfo->texts[1]->text, "160x120");
    EXPECT_NE(scene->engine->thumbnailTexture, nullptr);

    drop(clipNamed("numbered1000.mp4", "second.mp4"));
    deliverQueuedEvents();
    ASSERT_EQ(scene->videoInfo->texts.size(), 4u);
    EXPECT_EQ(scene->videoInfo->texts[1]->text, "64x64");
    EXPECT_EQ(scene->videoInfo->texts[3]->text, "mp4");
    EXPECT_NE(scene->videoInfo->title, nullptr);
}

TEST_F(ConverterScreen, InformationPanelLaysOutHalfSizeIconsInOneRow) {
    const VideoInfo& info = *scene->videoInfo;
    EXPECT_TRUE(sameRect(info.iconRects[0], {441, 574, 24, 24})) << describe(info.iconRects[0]);
    EXPECT_EQ(info.iconRects[1].x, 441 + 24 + 5);
}

TEST_F(ConverterScreen, CompletionShowsOnlyAfterACompletedJobAndGoesAfterNineSeconds) {
    FinalProgressBar& bar = *scene->progressBar;
    const std::string finished = otherText("KALO_THREAD_END_FINISH");

    // A job stopped at half way: no completion text, the bar goes at once.
    userEvent(EVT_CONVERSION_STARTED);
    EXPECT_TRUE(scene->converting);
    bar.progress = 0.5f;
    userEvent(EVT_CONVERSION_FINISHED, static_cast<Sint32>(JobOutcome::Stopped));
    EXPECT_FALSE(scene->converting);
    scene->render();
    EXPECT_FALSE(bar.finished);
    EXPECT_NE(bar.text->text, finished);

    // A completed job: the text stays for nine seconds after the end, then the bar goes.
    userEvent(EVT_CONVERSION_STARTED);
    userEvent(EVT_CONVERSION_FINISHED, static_cast<Sint32>(JobOutcome::Completed));
    scene->render();
    EXPECT_TRUE(bar.finished);
    EXPECT_EQ(bar.text->text, finished);
    bar.finishedAt = SDL_GetTicks() - (MainScene::completionShowMs - 1000);
    scene->render();
    EXPECT_TRUE(bar.finished);
    bar.finishedAt = SDL_GetTicks() - (MainScene::completionShowMs + 1);
    scene->render();
    EXPECT_FALSE(bar.finished);
    EXPECT_EQ(bar.progress, 0.0f);

    // A failed job is told as a failure, without the completion text.
    boxes.clear();
    userEvent(EVT_CONVERSION_STARTED);
    userEvent(EVT_CONVERSION_FINISHED, static_cast<Sint32>(JobOutcome::Failed));
    scene->render();
    EXPECT_FALSE(bar.finished);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageBoxKind::Error);
}

TEST_F(ConverterScreen, MessagesMoveClearOfTheProgressBarWhileItShows) {
    scene->messages->addText("当前输出文件夹为: /tmp/out/clip_SBS.mp4");
    const int usualRest = 648 - AniTextList::bottomOffset - AniTextList::lineStep;
    scene->render();
    EXPECT_EQ(static_cast<int>(scene->messages->slides.back()->target.y), usualRest);

    userEvent(EVT_CONVERSION_STARTED);
    scene->render();
    const TextBase& newest = *scene->messages->lines.back();
    const int restingBottom = static_cast<int>(scene->messages->slides.back()->target.y) + newest.rect.h;
    EXPECT_LE(restingBottom, scene->progressBar->rect.y);

    userEvent(EVT_CONVERSION_FINISHED, static_cast<Sint32>(JobOutcome::Stopped));
    scene->render();
    EXPECT_EQ(static_cast<int>(scene->messages->slides.back()->target.y), usualRest);
}
