#include "widgets/icon_text.h"

#include "widgets/fill_rect.h"
#include "widgets/text_ink.h"

iconText::iconText(TTF_Font* font_, Uint16 codePoint_, SDL_Renderer* renderer_,
                   SDL_Color color_, glm::ivec2 position)
    : codePoint(codePoint_), font(font_), renderer(renderer_),
      rect{position.x, position.y, 0, 0}, color(color_) {
    rebuildTexture();
}

iconText::~iconText() {
    if (texture) SDL_DestroyTexture(texture);
}

std::shared_ptr<iconText> iconText::create(TTF_Font* font, Uint16 codePoint,
                                           SDL_Renderer* renderer, SDL_Color color,
                                           glm::ivec2 position) {
    return std::shared_ptr<iconText>(new iconText(font, codePoint, renderer, color, position));
}

void iconText::setPosition(glm::ivec2 position) {
    rect.x = position.x;
    rect.y = position.y;
}

void iconText::setFont(TTF_Font* newFont) {
    font = newFont;
    rebuildTexture();
}

void iconText::draw() const {
    copyTexture(renderer, texture, rect);
}

void iconText::rebuildTexture() {
    const Uint16 glyph[2] = {codePoint, 0};
    SDL_Surface* surface = font ? TTF_RenderUNICODE_Blended(font, glyph, textInk(color)) : nullptr;
    replaceTexture(renderer, surface, texture, rect);
}
