#include "player/preview_button.h"

#include <cstdio>

#include "config/json_base.h"
#include "widgets/asset_preload.h"

SDL_Rect thumbnailRect(SDL_Rect button, int pictureWidth, int pictureHeight, int rotation) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return SDL_Rect{button.x, button.y, 0, 0};
    const float dw = static_cast<float>(pictureWidth);
    const float dh = static_cast<float>(pictureHeight);
    const int tw = static_cast<int>(dw / dh * static_cast<float>(button.h));
    if (rotation != 90 && rotation != 270) {
        return SDL_Rect{button.x + (button.w - tw) / 2, button.y, tw, button.h};
    }
    const float l = dh / dw;
    const int th = static_cast<int>(static_cast<float>(button.h) * l);
    const int turnedWidth = static_cast<int>(static_cast<float>(tw) * l);
    return SDL_Rect{button.x + (button.w - turnedWidth) / 2, (button.h - th) / 2 + button.y,
                    turnedWidth, th};
}

PreviewButton::PreviewButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                             std::shared_ptr<FFmpegHelper> engine_,
                             const std::string& hoverImagePath, OpenCallback onOpen_)
    : ButtonBase(renderer_, size, position), engine(std::move(engine_)), onOpen(std::move(onOpen_)) {
    hoverImage = renderer && !hoverImagePath.empty() ? kalo::loadTexture(renderer, hoverImagePath)
                                                     : nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
    if (!hoverImage || SDL_QueryTexture(hoverImage, nullptr, nullptr, &imageWidth, &imageHeight) != 0) {
        std::printf("Cannot read the texture info\n");
        std::fflush(stdout);
    }
    hoverRect = SDL_Rect{rect.x + rect.w / 2 - imageWidth / 2, rect.y + rect.h / 2 - imageHeight / 2,
                         imageWidth, imageHeight};
}

PreviewButton::~PreviewButton() {
    if (hoverImage) SDL_DestroyTexture(hoverImage);
}

void PreviewButton::render() {
    if (!engine || !engine->opened) return;
    if (thumbImage) {
        SDL_RenderCopyEx(renderer, thumbImage, nullptr, &thumbRect, engine->rotation, nullptr,
                         SDL_FLIP_NONE);
    }
    if (hoverShown && hoverImage) SDL_RenderCopy(renderer, hoverImage, nullptr, &hoverRect);
}

bool PreviewButton::onPress(glm::ivec2 point) {
    if (!engine || !engine->opened) return false;
    if (!strictlyInside(rect, point)) {
        active = false;
        return false;
    }
    active = true;
    if (onOpen) {
        const std::string scene = uiConfig ? uiConfig->getString("PARAM_OTHER", "SCENE_NAME_PLAYER") : "";
        onOpen(scene, glm::ivec2(previewWidth, previewHeight));
    }
    return true;
}

void PreviewButton::setPosition(glm::ivec2 /*position*/) {}

bool PreviewButton::isInside(glm::ivec2 point) {
    if (!engine || !engine->opened) return false;
    const bool inside = strictlyInside(rect, point);
    active = inside;
    hoverShown = inside;
    return inside;
}

void PreviewButton::makeThumbnail() {
    thumbImage = nullptr;
    if (!engine) return;
    bool captured = false;
    if (engine->opened) captured = engine->captureThumbnail(renderer);
    // A texture that never received a picture would show whatever its memory held.
    thumbImage = captured ? engine->thumbnailTexture : nullptr;
    thumbRect = thumbnailRect(rect, engine->decoderWidth(), engine->decoderHeight(), engine->rotation);
}
