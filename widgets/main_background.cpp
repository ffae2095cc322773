#include "widgets/main_background.h"

#include <SDL_image.h>

#include "widgets/design_scale.h"
#include "widgets/fill_rect.h"

mainBackground::mainBackground(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                               const std::string& path720, const std::string& path1080)
    : ButtonBase(renderer_, size, position) {
    if (renderer) {
        image720 = IMG_LoadTexture(renderer, path720.c_str());
        image1080 = IMG_LoadTexture(renderer, path1080.c_str());
    }
    current = image720;
    blendMode = SDL_ComposeCustomBlendMode(
        SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD,
        SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
}

mainBackground::~mainBackground() {
    if (image720) SDL_DestroyTexture(image720);
    if (image1080) SDL_DestroyTexture(image1080);
}

void mainBackground::render() {
    if (!current) return;
    copyTexture(renderer, current, rect);
    SDL_SetTextureBlendMode(current, blendMode);
}

bool mainBackground::onPress(glm::ivec2 /*point*/) { return false; }

void mainBackground::resize(glm::ivec2 size) {
    rect.w = size.x;
    rect.h = size.y;
    current = useBackground1080(size) ? image1080 : image720;
}

bool mainBackground::isInside(glm::ivec2 /*point*/) { return false; }
