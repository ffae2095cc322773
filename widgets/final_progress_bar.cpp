#include "widgets/final_progress_bar.h"

#include <SDL_image.h>

#include <cstdio>

namespace {

SDL_Texture* loadImage(SDL_Renderer* renderer, const std::string& path) {
    if (path.empty() || !renderer) return nullptr;
    SDL_Texture* texture = IMG_LoadTexture(renderer, path.c_str());
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
        SDL_RenderCopy(renderer, backgroundImage, nullptr, &rect);
    } else {
        SDL_SetRenderDrawColor(renderer, backgroundColor.r, backgroundColor.g,
                               backgroundColor.b, backgroundColor.a);
        SDL_RenderFillRect(renderer, &rect);
    }
    const SDL_Rect done = doneRect();
    if (barImage) {
        SDL_RenderCopy(renderer, barImage, nullptr, &done);
    } else {
        SDL_SetRenderDrawColor(renderer, barColor.r, barColor.g, barColor.b, barColor.a);
        SDL_RenderFillRect(renderer, &done);
    }
    if (text) text->draw();
}

void FinalProgressBar::setPosition(glm::ivec2 /*unused*/) {
    rect = SDL_Rect{designRect.x, designRect.y + designRect.h - barHeight, designRect.w,
                    barHeight};
    if (text) text->setPosition(glm::ivec2(textX, rect.y));
    relayout();
}
