#include "player/player_window.h"

#include "config/json_base.h"
#include "scene/scene_manager.h"
#include "widgets/fill_rect.h"

PreviewLayout PreviewLayout::of(int width, int height) {
    PreviewLayout layout;
    constexpr int trackHeight = 20;
    constexpr int grooveInset = static_cast<int>(trackHeight * 0.5) / 2;
    constexpr int grooveHeight = trackHeight - static_cast<int>(trackHeight * 0.5);
    layout.sliderRect = SDL_Rect{0, height - controlHeight, width, trackHeight};
    layout.barRect = SDL_Rect{0, height - controlHeight + grooveInset, width, grooveHeight};
    layout.buttonPosition = glm::ivec2(width / 2 + 20, height - 40);
    layout.videoArea = glm::ivec2(width, height - (controlHeight + 5));
    return layout;
}

PlayerWindow::PlayerWindow(SDL_Renderer* renderer_, SDL_Window* window_, std::string sceneName,
                           std::shared_ptr<FFmpegHelper> engine_)
    : ISceneObject(window_, std::move(sceneName)), engine(std::move(engine_)) {
    renderer = renderer_;
}

PlayerWindow::~PlayerWindow() {
    quit();
    engine.reset();
}

void PlayerWindow::init() {
    relayoutPending = true;
    arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    renderQueue = std::make_shared<RenderQueue>(window, renderer);
    if (engine) renderQueue->add(engine->renderEntry);

    if (window) SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    const PreviewLayout layout = PreviewLayout::of(windowWidth, windowHeight);
    sliderRect = layout.sliderRect;
    barRect = layout.barRect;

    seekSlider = std::make_shared<SampleSlider>(renderer, sliderRect);
    if (uiConfig) {
        seekSlider->fillColor = uiConfig->getColor("PARAM_OTHER", "KALO_SP_SLIDCOLBG");
        seekSlider->setKnobImage(uiConfig->getString("PARAM_OTHER", "KALO_STICK"));
    }
    const std::shared_ptr<FFmpegHelper> target = engine;
    seekSlider->setCallback([target](float value) {
        if (target) target->seek(value);
    });
    if (engine) {
        // The slider and the engine refer to each other through these callbacks; quit
        // clears the engine's side, which ends the cycle.
        const std::shared_ptr<SampleSlider> slider = seekSlider;
        engine->progressCallback = [slider](float value) { slider->setValue(value); };
        engine->endedCallback = [this] { showEnded(); };
    }
    playButton = std::make_shared<PlayPauseCoverButton>(
        renderer, glm::ivec2(buttonSide, buttonSide), layout.buttonPosition, engine);
    ready = true;
}

void PlayerWindow::applyLayout() {
    const PreviewLayout layout = PreviewLayout::of(windowWidth, windowHeight);
    sliderRect = layout.sliderRect;
    barRect = layout.barRect;
    if (seekSlider) seekSlider->setRect(sliderRect);
    if (playButton) playButton->setPosition(layout.buttonPosition);
    relayoutPending = true;
}

void PlayerWindow::handleEvent(const SDL_Event& event) {
    if (!ready) return;
    if (ownsEvent(event)) {
        const std::uint64_t frames = engine && engine->totalFrames > 0
                                         ? static_cast<std::uint64_t>(engine->totalFrames)
                                         : 0;
        switch (event.type) {
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_RESIZED ||
                    event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    if (window) SDL_GetWindowSize(window, &windowWidth, &windowHeight);
                    applyLayout();
                } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                    closeWindow();
                }
                break;
            case SDL_MOUSEMOTION:
                if (arrowCursor) SDL_SetCursor(arrowCursor);
                if (event.motion.state & SDL_BUTTON_LMASK) {
                    seekSlider->drag({event.motion.x, event.motion.y}, frames);
                }
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button == SDL_BUTTON_LEFT) {
                    const glm::ivec2 pointer(event.button.x, event.button.y);
                    seekSlider->drag(pointer, frames);
                    playButton->onPress(pointer);
                }
                break;
            default:
                break;
        }
    }
    if (relayoutPending && engine && engine->opened) refitPicture();
}

// Paused before the rewind is applied, so the restarted decoder shows the first picture and
// waits there; the window is hidden at once (the picture arrives while nobody looks).
void PlayerWindow::closeWindow() {
    if (engine) {
        engine->paused = true;
        engine->seek(0.0f);
        if (renderQueue) renderQueue->renderAll();  // applies the rewind now
    }
    if (manager) manager->hideWindow(name);
}

void PlayerWindow::refitPicture() {
    if (!engine || !engine->opened) return;
    if (!ready || !renderer) {
        relayoutPending = true;
        return;
    }
    engine->displayScale = 1.0f;
    engine->layoutVideo(windowWidth, windowHeight - (controlHeight + 5));
    engine->recreateTexture(renderer);
    relayoutPending = false;
}

void PlayerWindow::showEnded() {
    if (playButton) playButton->enterEndedMode();
}

void PlayerWindow::render() {
    if (!ready || !renderer) return;
    SDL_SetRenderDrawColor(renderer, 64, 64, 64, 255);
    SDL_RenderClear(renderer);
    renderQueue->renderAll();
    fillRect(renderer, barRect, SDL_Color{16, 16, 16, 255});
    seekSlider->render();
    playButton->render();
    SDL_RenderPresent(renderer);
}

void PlayerWindow::quit() {
    renderQueue.reset();
    seekSlider.reset();
    playButton.reset();
    if (arrowCursor) SDL_FreeCursor(arrowCursor);
    arrowCursor = nullptr;
    if (engine) {
        engine->endedCallback = nullptr;
        engine->progressCallback = nullptr;
    }
    ready = false;
}
