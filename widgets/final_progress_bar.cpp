#include "widgets/final_progress_bar.h"

#include <SDL_image.h>

#include <cstdio>

#include "widgets/asset_preload.h"
#include "widgets/fill_rect.h"

namespace {

SDL_Texture* loadImage(SDL_Renderer* renderer, const std::string& path) {
    if (path.empty() || !renderer) return nullptr;
    SDL_Texture* texture = kalo::loadTexture(renderer, path);
    if (!texture) std::printf("image not loaded: %s (%s)\n", path.c_str(), IMG_GetError());
    return texture;
}

}  // namespace

FinalProgressBar::FinalProgressBar(SDL_Renderer* renderer_, SDL_Rect rect_)
    : SliderBase(renderer_, rect_) {}

void FinalProgressBar::setImages(const std::string& barPath, const std::string& backgroundPath) {
    barImagePath = barPath;
    backgroundImagePath = backgroundPath;
    if (barImage) SDL_DestroyTexture(barImage);
    if (backgroundImage) SDL_DestroyTexture(backgroundImage);
    barImage = loadImage(renderer, barImagePath);
    backgroundImage = loadImage(renderer, backgroundImagePath);
}

SDL_Rect FinalProgressBar::doneRect() const {
    return SDL_Rect{rect.x, rect.y, knobRect.x - rect.x, rect.h};
}

void FinalProgressBar::render() {
    if (backgroundImage) {
        copyTexture(renderer, backgroundImage, rect);
    } else {
        fillRect(renderer, rect, backgroundColor);
    }
    const SDL_Rect done = doneRect();
    if (barImage) {
        copyTexture(renderer, barImage, done);
    } else {
        fillRect(renderer, done, barColor);
    }
    if (text) text->draw();
}

void FinalProgressBar::setPosition(glm::ivec2 /*unused*/) {
    rect = SDL_Rect{designRect.x, designRect.y + designRect.h - barHeight, designRect.w,
                    barHeight};
    if (text) text->setPosition(glm::ivec2(textX, rect.y));
    relayout();
}
