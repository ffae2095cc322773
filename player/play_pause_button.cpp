#include "player/play_pause_button.h"

#include <SDL_image.h>

#include <cstdio>

#include "widgets/asset_preload.h"
#include "widgets/fill_rect.h"

namespace {

SDL_Texture* loadImage(SDL_Renderer* renderer, const std::string& path) {
    if (!renderer || path.empty()) return nullptr;
    SDL_Texture* texture = kalo::loadTexture(renderer, path);
    if (!texture) std::printf("image not loaded: %s (%s)\n", path.c_str(), IMG_GetError());
    return texture;
}

}  // namespace

PlayPauseButton::PlayPauseButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position)
    : ButtonBase(renderer_, size, position) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetDisplayBounds(0, &displayBounds);
}

PlayPauseButton::~PlayPauseButton() {
    glyph.reset();  // before the fonts it was rendered with
    if (smallImage) SDL_DestroyTexture(smallImage);
    if (largeImage) SDL_DestroyTexture(largeImage);
}

void PlayPauseButton::setIcon(const std::string& fontPath, Uint16 codePoint, SDL_Color color,
                              int pointSize) {
    glyphCode = codePoint;
    glyphColor = color;
    fontSize = pointSize;
    glyph.reset();
    fonts.open(fontPath, pointSize, scale, displayBounds.w);
    glyph = iconText::create(fonts.normalFont, glyphCode, renderer, glyphColor, {rect.x, rect.y});
}

void PlayPauseButton::setImages(const std::string& largePath, const std::string& smallPath,
                                glm::ivec2 position, glm::ivec2 size) {
    imageRect = SDL_Rect{position.x, position.y, size.x, size.y};
    designImageSize = size;
    if (smallImage) SDL_DestroyTexture(smallImage);
    if (largeImage) SDL_DestroyTexture(largeImage);
    smallImage = loadImage(renderer, smallPath);
    largeImage = loadImage(renderer, largePath);
    currentImage = smallImage ? smallImage : largeImage;
}

void PlayPauseButton::render() {
    if (currentImage) {
        copyTexture(renderer, currentImage, imageRect);
    } else if (glyph) {
        glyph->draw();
    }
}

bool PlayPauseButton::onPress(glm::ivec2 /*point*/) {
    if (!callback) return false;
    callback();
    return true;
}

void PlayPauseButton::setPosition(glm::ivec2 position) {
    ButtonBase::setPosition(position);
    imageRect.x = position.x;
    imageRect.y = position.y;
    if (glyph) glyph->setPosition(position);
}

void PlayPauseButton::resize(glm::ivec2 windowSize) {
    const glm::ivec2 size = scale.iconWidgetSize(fontSize, windowSize);
    rect.w = size.x;
    rect.h = size.y;
    const glm::ivec2 imageSize = scale.imageButtonSize(designImageSize, windowSize);
    imageRect.w = imageSize.x;
    imageRect.h = imageSize.y;
    if (glyph) glyph->setFont(fonts.fontFor(windowSize, scale));
    const bool large = scale.useLargeImage(windowSize);
    SDL_Texture* preferred = large ? largeImage : smallImage;
    currentImage = preferred ? preferred : (large ? smallImage : largeImage);
}
