#include "widgets/main_background.h"

#include "widgets/asset_preload.h"
#include "widgets/design_scale.h"
#include "widgets/fill_rect.h"

mainBackground::mainBackground(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                               const std::string& path720, const std::string& path1080)
    : ButtonBase(renderer_, size, position), path1080(path1080) {
    // The 1080 picture waits until a window that wide needs it: making a full-HD texture
    // costs about a tenth of a second with a software GL driver, all of it before the
    // first frame of a window that starts at the default size.
    if (renderer) image720 = kalo::loadTexture(renderer, path720);
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
    if (!useBackground1080(size)) {
        current = image720;
        return;
    }
    if (!image1080 && !tried1080 && renderer) {
        tried1080 = true;  // a missing picture is looked for once
        image1080 = kalo::loadTexture(renderer, path1080);
    }
    current = image1080;
}

bool mainBackground::isInside(glm::ivec2 /*point*/) { return false; }
