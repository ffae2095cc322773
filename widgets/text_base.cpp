#include "widgets/text_base.h"

#include <utility>

#include "widgets/fill_rect.h"
#include "widgets/text_ink.h"

TextBase::TextBase(TTF_Font* font_, SDL_Renderer* renderer_, SDL_Color color_,
                   std::string text_, glm::ivec2 position)
    : font(font_), renderer(renderer_), rect{position.x, position.y, 0, 0}, color(color_),
      text(std::move(text_)) {
    rebuildTexture();
}

TextBase::~TextBase() {
    if (texture) SDL_DestroyTexture(texture);
}

std::shared_ptr<TextBase> TextBase::create(TTF_Font* font, SDL_Renderer* renderer,
                                           SDL_Color color, std::string text,
                                           glm::ivec2 position) {
    return std::shared_ptr<TextBase>(
        new TextBase(font, renderer, color, std::move(text), position));
}

std::shared_ptr<pureText> pureText::create(TTF_Font* font, SDL_Renderer* renderer,
                                           SDL_Color color, std::string text,
                                           glm::ivec2 position) {
    return std::shared_ptr<pureText>(
        new pureText(font, renderer, color, std::move(text), position));
}

void TextBase::setPosition(glm::ivec2 position) {
    rect.x = position.x;
    rect.y = position.y;
}

void TextBase::setText(const std::string& newText) {
    text = newText;
    rebuildTexture();
}

void TextBase::draw() const {
    copyTexture(renderer, texture, rect);
}

void TextBase::rebuildTexture() {
    const char* shown = text.empty() ? " " : text.c_str();
    SDL_Surface* surface = font ? TTF_RenderUTF8_Blended(font, shown, textInk(color)) : nullptr;
    replaceTexture(renderer, surface, texture, rect);
}
