#include "screen/main_scene.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <iostream>
#include <utility>

#include "widgets/font_cache.h"
#include "config/json_base.h"
#include "config/option_tables.h"
#include "conversion/convert_actions.h"
#include "conversion/conversion_job.h"
#include "conversion/windows_manager.h"
#include "platform/console_window.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "platform/window_shape.h"
#include "player/ffmpeg_helper.h"
#include "player/player_window.h"
#include "player/preview_button.h"
#include "player/preview_looks.h"
#include "scene/menu_control.h"
#include "scene/scene_manager.h"
#include "scene/user_events.h"
#include "screen/button_table.h"
#include "screen/console_panel.h"
#include "screen/file_choosers.h"
#include "screen/input_file_button.h"
#include "screen/middle_path_button.h"
#include "screen/pop_up_button.h"
#include "screen/progress_display.h"
#include "screen/video_info.h"
#include "widgets/about_button.h"
#include "widgets/ani_text_list.h"
#include "widgets/final_progress_bar.h"
#include "widgets/main_background.h"
#include "widgets/widget_list.h"

bool appQuitting = false;

namespace {

constexpr SDL_Color panelColour{246, 246, 246, 255};
constexpr int progressBarHeight = 20;
constexpr int messageNewestStart = 130;  // the newest message line slides from here ...
constexpr int messageNewestRest = 150;   // ... to here, above the bottom of the window

void discardQueuedMouseEvents() { SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL); }

// The path as SDL delivered it (UTF-8) as a wide path; null when it is not valid text.
bool droppedPath(const char* file, std::wstring& wide) {
    try {
        wide = kalo::utf8ToWide(file);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

MainScene::MainScene(SDL_Renderer* sceneRenderer, SDL_Window* sceneWindow, std::string sceneName)
    : ISceneObject(sceneWindow, std::move(sceneName)) {
    renderer = sceneRenderer;
}

MainScene::~MainScene() {
    if (engine) engine->release();
    SDL_Delay(100);
    if (pollTimer) SDL_RemoveTimer(pollTimer);
    pollTimer = 0;
    if (ready) quit();
}

glm::ivec2 MainScene::currentWindowSize() const {
    glm::ivec2 size{0, 0};
    if (window) SDL_GetWindowSize(window, &size.x, &size.y);
    return size;
}

void MainScene::init() {
    if (ready) return;

    // 1. The menu first: a screen whose menu could not be built is not usable.
    menu = buildMainMenu(window, renderer);
    if (!menu || !menu->ok) {
        menu.reset();
        return;
    }
    const std::string fontPath = otherText("KALO_TITLEBARTEXTFONT");
    font = acquireFont(fontPath.c_str(), textPointSize);
    arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    handCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    const glm::ivec2 size = currentWindowSize();

    background = std::make_shared<mainBackground>(renderer, size, glm::ivec2{0, 0},
                                                  otherText("MAIN_BACKGROUND720"),
                                                  otherText("MAIN_BACKGROUND1080"));
    about = std::make_shared<AboutButton>();
    engine = std::make_shared<FFmpegHelper>();
    if (!appFolder.empty()) engine->programPath = kalo::pathFromUtf8(appFolder);
    messages = std::make_shared<MainUIAniTextList>(renderer, window);
    widgets = std::make_shared<buttonTable>(font, renderer, window, size, engine, &converting);

    auto sink = [list = messages](const std::string& line) { list->addText(line); };
    widgets->inputButton->messageSink = sink;
    widgets->pathButton->messageSink = sink;

    panelRect = {0, 5, size.x, size.y - 50};
    const glm::ivec2 barPos = uiConfig->getPoint("PARAM_RENDER_PROGRESS_BAR", "pos");
    const glm::ivec2 barSize = uiConfig->getPoint("PARAM_RENDER_PROGRESS_BAR", "Size");
    progressRect = {barPos.x, barPos.y, barSize.x, barSize.y};
    smallFont = acquireFont(fontPath.c_str(), smallTextPointSize);

    const SDL_Rect barRect{progressRect[0], progressRect[1], progressRect[2], progressRect[3]};
    progressBar = std::make_shared<FinalProgressBar>(renderer, barRect);
    progressMonitor = std::make_shared<ProgressMonitor>();
    progressBar->text = pureText::create(smallFont, renderer, SDL_Color{0, 0, 0, 255},
                                         otherText("KALO_FINALDIAGLOG"),
                                         {FinalProgressBar::textX, barRect.y});
    progressBar->barColor = otherColor("MAIN_PROGRESS_BAR");
    progressBar->backgroundColor = otherColor("MAIN_PROGRESS_BAR_BG");
    progressBar->setImages(otherText("MAIN_PROGRESS_IMG_BAR"), otherText("MAIN_PROGRESS_IMG_BAR_BG"));
    pollTimer = startProgressPollTimer();

    player = std::make_shared<PlayerWindow>(renderer, window, otherText("SCENE_NAME_PLAYER"));
    player->engine = engine;
    if (manager) {
        player->setManager(manager);
        manager->addScene(player);
        widgets->preview->onOpen = [weakManager = std::weak_ptr<SceneManager>(manager)](
                                             std::string sceneName, glm::ivec2 windowSize) {
            if (auto sceneManager = weakManager.lock()) sceneManager->openWindow(sceneName, windowSize);
        };
    }

    // The configuration names the panel's position "Size" and its size "pos".
    videoInfo = std::make_shared<VideoInfo>(
        renderer, uiConfig->getPoint("PARAM_RENDER_VIDEO_INFO", "Size"),
        uiConfig->getPoint("PARAM_RENDER_VIDEO_INFO", "pos"), engine, font);

    consolePanel = std::make_shared<ConsolePanel>(
        renderer, smallFont, SDL_Rect{panelRect.x + 50, panelRect.y + 90, 640, 130});
    ready = true;
}

void MainScene::openStartupSource() {
    // Once, as if the user had chosen this file in the open dialog.
    const std::string given = std::move(startupSource);
    startupSource.clear();
    std::wstring path;
    if (given.empty()) return;
    if (!droppedPath(given.c_str(), path) || !isSupportedVideo(path)) {
        std::cout << "Not a supported video: " << given << std::endl;
        kalo::platform::showSimpleMessageBox(kalo::platform::MessageBoxKind::Warning,
                                             otherText("KALO_LOADFILEINTO_NOTE"),
                                             otherText("KALO_LOADFILEINTO_FAIL"));
        return;
    }
    const JobSnapshot before = windowsManager->snapshot();
    JobSnapshot chosen = before;
    chosen.input = path;
    windowsManager->command = COMMAND_OPEN_SOURCE;
    windowsManager->update(chosen);
    pushUserEvent(EVT_SOURCE_LOADED);
    openChosenSource(windowsManager, engine, renderer, before);
}

void MainScene::quit() {
    if (presentTiming.enabled()) std::cout << presentTiming.summary() << std::endl;
    if (smallFont) releaseFont(smallFont);
    if (font) releaseFont(font);
    smallFont = font = nullptr;
    if (arrowCursor) SDL_FreeCursor(arrowCursor);
    if (handCursor) SDL_FreeCursor(handCursor);
    arrowCursor = handCursor = nullptr;
    handCursorOn = false;
    if (manager && player) manager->removeScene(player->name);
    videoInfo.reset();
    menu.reset();
    about.reset();
    player.reset();
    droppedFile = nullptr;
    background.reset();
    messages.reset();
    progressBar.reset();
    progressMonitor.reset();
    consolePanel.reset();
    if (pollTimer) SDL_RemoveTimer(pollTimer);
    pollTimer = 0;
    if (engine) {
        engine->progressCallback = nullptr;
        engine->endedCallback = nullptr;
    }
    widgets.reset();
    if (engine) engine->release();
    engine.reset();
    screenWidgets.clear();
    ready = false;
}

// --- Events ---------------------------------------------------------------------------

void MainScene::handleEvent(const SDL_Event& event) {
    if (!ready) return;
    presentTiming.workStarted();
    const bool alwaysOurs = event.type == SDL_QUIT || event.type == SDL_SYSWMEVENT ||
                            event.type == SDL_USEREVENT || event.type == SDL_DROPFILE;
    if (!alwaysOurs && !ownsEvent(event)) return;

    int command = 0;
    if (menu && menu->handleEvent(event, command)) {
        if (command != 0) runMenuCommand(command);
        finishEvent();
        return;
    }

    switch (event.type) {
        case SDL_QUIT:
            if (converting) {
                kalo::platform::showSimpleMessageBox(kalo::platform::MessageBoxKind::Error,
                                                     otherText("KALO_ERROR"),
                                                     videoInfoText("msg_quitwarn"));
            } else {
                appQuitting = true;
                breakRunningConverter();
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_RESIZED ||
                event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                relayout();
            } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                quitPending = true;
            }
            break;
        case SDL_KEYDOWN:
            onKey(event);
            break;
        case SDL_MOUSEMOTION:
            if (event.motion.state == 0) {
                const bool over = pointerOverWidget(screenWidgets, {event.motion.x, event.motion.y});
                if (over && !handCursorOn) {
                    SDL_SetCursor(handCursor);
                    handCursorOn = true;
                } else if (!over && handCursorOn) {
                    SDL_SetCursor(arrowCursor);
                    handCursorOn = false;
                }
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            pressWidgets(screenWidgets, {event.button.x, event.button.y});
            break;
        case SDL_MOUSEBUTTONUP:
            releaseWidgets(screenWidgets, {event.button.x, event.button.y});
            break;
        case SDL_DROPFILE:
            dropFile(event.drop.file);
            break;
        case SDL_USEREVENT:
            onUserEvent(event);
            break;
        default:
            break;
    }
    finishEvent();
}

void MainScene::runMenuCommand(int command) {
    MenuCommandActions actions;
    actions.exit = pushQuitEvent;
    actions.open = [this] { openSourceAction(windowsManager, engine, renderer); };
    actions.about = [this] {
        if (about) about->showAbout();
    };
    ::runMenuCommand(command, actions);
}

void MainScene::relayout() {
    const glm::ivec2 size = currentWindowSize();
    if (windowSize) *windowSize = size;
    background->resize(size);
    widgets->relayout(size);
    messages->relayout(size);
    messagesRaisedBy = 0;
    panelRect = {0, 25, size.x, size.y - 50};
    progressBar->designRect = {progressRect[0], progressRect[1], progressRect[2], progressRect[3]};
    progressBar->barHeight = progressBarHeight;
    progressBar->setPosition(size);
    setWidgetsWindowSize(screenWidgets, size);
    consolePanel->rect.y = panelRect.y + 90;
}

void MainScene::onKey(const SDL_Event& event) {
    const SDL_Keycode key = event.key.keysym.sym;
    if (key == SDLK_ESCAPE) {
        quitPending = true;
        return;
    }
    if (!(event.key.keysym.mod & KMOD_LCTRL)) return;  // the right Control key does not count
    if (key == SDLK_1) {
        if (kalo::platform::consoleIsOwnWindow()) {
            // Start-up hid the console window, so the first press keeps it hidden.
            kalo::platform::setConsoleWindowVisible(consoleToggle);
        } else {
            consolePanel->toggle();  // our own panel: every press shows or hides it
        }
        consoleToggle = !consoleToggle;
        return;
    }
    for (const PreviewLookShortcut& entry : previewLookShortcuts) {
        if (entry.key == key) previewFilterKey(entry.filter);
    }
}

void MainScene::previewFilterKey(int value) {
    JobSnapshot snapshot = windowsManager->snapshot();
    engine->toggleFilter(value);
    snapshot.filterIndex = engine->activeFilter;
    windowsManager->update(snapshot);  // the preview-only looks have no table row: refused
}

void MainScene::dropFile(char* file) {
    droppedFile = file;
    if (droppedFile && droppedFile[0] != '\0' && engine) {
        std::wstring widePath;
        const bool supported = droppedPath(droppedFile, widePath) && isSupportedVideo(widePath);
        if (!supported) {
            kalo::platform::showSimpleMessageBox(kalo::platform::MessageBoxKind::Warning,
                                                 otherText("KALO_LOADFILEINTO_NOTE"),
                                                 otherText("KALO_LOADFILEINTO_FAIL"));
        } else if (engine->open(droppedFile, renderer) < 0) {
            kalo::platform::showSimpleMessageBox(kalo::platform::MessageBoxKind::Error,
                                                 otherText("KALO_LOADFILEINTO_NOTE"),
                                                 otherText("KALO_LOADFILEINTO_FAIL"));
        } else {
            engine->paused = true;
            JobSnapshot snapshot = windowsManager->snapshot();
            snapshot.input = widePath;
            windowsManager->update(snapshot);
            pushUserEvent(EVT_SOURCE_LOADED);
        }
    }
    if (droppedFile) SDL_free(droppedFile);
    droppedFile = nullptr;
}

void MainScene::onUserEvent(const SDL_Event& event) {
    switch (event.user.code) {
        case EVT_CONVERSION_STARTED:
            std::cout << "Event get the thread start signal !" << std::endl;
            converting = true;
            applyProgressReading(*progressBar, progressMonitor->beginJob());
            progressBar->designRect = {progressRect[0], progressRect[1], progressRect[2],
                                       progressRect[3]};
            progressBar->barHeight = progressBarHeight;
            progressBar->setPosition(currentWindowSize());
            progressBar->text->setText(otherText("KALO_FINALDIAGLOG"));
            break;
        case EVT_CONVERSION_FINISHED: {
            std::cout << "Event get the thread finish signal !" << std::endl;
            converting = false;
            const JobReport report = conversionFinished(event);
            applyProgressReading(*progressBar, progressMonitor->endJob(report.outcome));
            break;
        }
        case EVT_SOURCE_LOADED:
            engine->recreateTexture(player->renderer);
            widgets->preview->makeThumbnail();
            videoInfo->rebuild();
            discardQueuedMouseEvents();
            previewRefreshPending = true;
            break;
        default:
            break;
    }
}

void MainScene::finishEvent() {
    if (quitPending) {
        quitPending = false;
        pushQuitEvent();
    }
    if (appQuitting && manager) manager->quitRequested = true;
    if (previewRefreshPending && engine && engine->opened) {
        player->refitPicture();
        previewRefreshPending = false;
    }
}

// --- Drawing --------------------------------------------------------------------------

void MainScene::showCompletion(bool shown) {
    // One line each way, so that a person reading the console (and the end-to-end tests)
    // can tell when the completion text came and went.
    if (shown == completionShown) return;
    completionShown = shown;
    std::cout << (shown ? "completion shown" : "completion hidden") << std::endl;
}

void MainScene::render() {
    if (!ready) {
        SDL_SetRenderDrawColor(renderer, panelColour.r, panelColour.g, panelColour.b, 255);
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
        return;
    }
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) {
        SDL_Delay(500);
        return;
    }
    presentTiming.workStarted();
    kalo::platform::beginShapedFrame(window, renderer);
    SDL_SetRenderDrawColor(renderer, panelColour.r, panelColour.g, panelColour.b, panelColour.a);
    SDL_RenderFillRect(renderer, &panelRect);
    anchorMessages();
    messages->render();
    background->render();
    renderWidgets(screenWidgets);
    widgets->popUp->render();  // again, so that an open list lies over every other widget
    videoInfo->draw();
    drawProgress();
    consolePanel->render();
    if (menu) menu->render();
    SDL_RenderPresent(renderer);
    presentTiming.framePresented(converting);
    lastFrameAt = SDL_GetTicks();
    if (!firstFramePresented) {
        firstFramePresented = true;
        if (afterFirstFrame) afterFirstFrame();
        openStartupSource();
    }
}

bool MainScene::wantsFrame() const {
    if (!ready || !firstFramePresented) return true;
    if (converting && progressPollDue.load()) return true;
    if (messages && messages->animating()) return true;
    if (widgets && widgets->popUp && widgets->popUp->animating()) return true;
    return SDL_GetTicks() - lastFrameAt >= heartbeatMs;
}

void MainScene::anchorMessages() {
    // The newest message line rests where the progress bar is drawn: while the bar shows,
    // the list moves up just clear of it, and back down when the bar has gone.
    int raise = 0;
    if (converting || progressBar->finished) {
        const int lineHeight = messages->font ? TTF_FontLineSkip(messages->font) : AniTextList::lineStep;
        const int newestBottom = currentWindowSize().y - AniTextList::bottomOffset -
                                 AniTextList::lineStep + lineHeight;
        raise = std::max(0, newestBottom + 2 - progressBar->rect.y);
    }
    if (raise == messagesRaisedBy) return;
    messagesRaisedBy = raise;
    const glm::ivec2 size = currentWindowSize();
    messages->relayout({size.x, size.y - raise});
}

void MainScene::drawProgress() {
    if (converting) {
        showCompletion(false);
        if (progressPollDue.exchange(false)) {
            applyProgressReading(*progressBar, progressMonitor->poll(
                                                   static_cast<std::uint64_t>(engine->totalFrames)));
        }
        progressBar->render();
        return;
    }
    if (!progressBar->finished) {
        showCompletion(false);
        return;
    }
    showCompletion(true);
    const std::string finishedText = otherText("KALO_THREAD_END_FINISH");
    if (progressBar->text->text != finishedText) progressBar->text->setText(finishedText);
    progressBar->render();
    if (static_cast<Sint32>(SDL_GetTicks() - progressBar->finishedAt) >
        static_cast<Sint32>(completionShowMs)) {
        progressBar->finished = false;
        progressBar->finishedAt = 0;
        progressBar->progress = 0.0f;
    }
}
