#include "player/play_pause_cover_button.h"

#include <string>

#include "config/json_base.h"
#include "conversion/windows_manager.h"

namespace {

constexpr const char* imageSection = "PARAM_PLAYBUTTON";

std::shared_ptr<PlayPauseButton> makeFace(SDL_Renderer* renderer, glm::ivec2 size,
                                          glm::ivec2 position, Uint16 glyph,
                                          const char* largeKey, const char* smallKey) {
    auto face = std::shared_ptr<PlayPauseButton>(new PlayPauseButton(renderer, size, position));
    const std::string font = uiConfig ? uiConfig->getString("PARAM_OTHER", "KALO_BUTTONFONT") : "";
    const int pointSize = uiConfig ? uiConfig->getInt("PARAM_INPUTFILE", "fontSizemin") : 0;
    face->setIcon(font, glyph, SDL_Color{255, 255, 255, 255}, pointSize);
    const std::string large = uiConfig ? uiConfig->getString(imageSection, largeKey) : "";
    const std::string small = uiConfig ? uiConfig->getString(imageSection, smallKey) : "";
    face->setImages(large, small, position, size);
    return face;
}

bool sourceChosen() {
    return windowsManager && !windowsManager->snapshot().input.empty();
}

}  // namespace

PlayPauseCoverButton::PlayPauseCoverButton(SDL_Renderer* renderer_, glm::ivec2 size,
                                           glm::ivec2 position,
                                           std::shared_ptr<FFmpegHelper> engine_)
    : ButtonBase(renderer_, size, position), engine(std::move(engine_)) {
    children.push_back(makeFace(renderer, size, position, playGlyph, "inimgPathPlay",
                                "inimgPathPlay720"));
    children.push_back(makeFace(renderer, size, position, pauseGlyph, "inimgPathPas",
                                "inimgPathPas720"));
    const std::shared_ptr<FFmpegHelper> target = engine;
    for (auto& child : children) {
        child->setCallback([target] {
            if (target) target->togglePause();
        });
    }
}

int PlayPauseCoverButton::shownChild() const {
    if (!engine || !engine->opened || !sourceChosen() || endedMode) return 0;
    return engine->paused ? 0 : 1;
}

void PlayPauseCoverButton::render() {
    // A seek out of the end restarts playback without a press: leave the ended look then.
    if (endedMode && engine && engine->opened && !engine->ended) endedMode = false;
    children[static_cast<std::size_t>(shownChild())]->render();
}

bool PlayPauseCoverButton::onPress(glm::ivec2 point) {
    if (!isInside(point)) {
        active = false;
        return false;
    }
    active = true;
    if (endedMode) {
        if (engine) engine->replay();
        endedMode = false;
        showPauseChild = true;
        return true;
    }
    children[showPauseChild ? 1 : 0]->onPress(point);
    showPauseChild = engine ? !engine->paused : true;
    return true;
}

void PlayPauseCoverButton::setPosition(glm::ivec2 position) {
    ButtonBase::setPosition(position);
    for (auto& child : children) child->setPosition(position);
}

void PlayPauseCoverButton::resize(glm::ivec2 windowSize) {
    for (auto& child : children) child->resize(windowSize);
}

void PlayPauseCoverButton::enterEndedMode() {
    showPauseChild = engine ? !engine->paused : true;
    endedMode = true;
}
