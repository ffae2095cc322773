#include "widgets/convert_button.h"

#include "widgets/asset_preload.h"
#include "widgets/design_scale.h"
#include "widgets/fill_rect.h"

namespace {

constexpr float labelOffsetX = 73.0f;
constexpr float labelOffsetY = 18.0f;
constexpr int glyphOffsetX = 35;

glm::ivec2 labelPlace(glm::vec2 position) {
    return {static_cast<int>(position.x + labelOffsetX), static_cast<int>(position.y + labelOffsetY)};
}

}  // namespace

ConvertButton::ConvertButton(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position)
    : ButtonBase(renderer_, size, position), designRect(rect) {}

ConvertButton::~ConvertButton() {
    if (image) SDL_DestroyTexture(image);
}

void ConvertButton::setText(TTF_Font* font, SDL_Color textColor, glm::vec2 position,
                            const std::string& text) {
    labelFont = font;
    labelPosition = position;
    label = pureText::create(font, renderer, textColor, text, labelPlace(position));
}

void ConvertButton::setImage(const std::string& path) {
    imagePath = path;
    designRect = rect;
    if (image) SDL_DestroyTexture(image);
    image = kalo::loadTexture(renderer, path);
}

void ConvertButton::setGlyph(TTF_Font* font, Uint16 codePoint, SDL_Color glyphColor) {
    glyph = iconText::create(font, codePoint, renderer, glyphColor, glyphPosition());
}

glm::ivec2 ConvertButton::glyphPosition() const {
    return {rect.x + glyphOffsetX, static_cast<int>(rect.y + rect.h * 0.25)};
}

void ConvertButton::render() {
    fillRect(renderer, rect, fillColor);
    if (label) label->draw();
    if (glyph) glyph->draw();
    copyTexture(renderer, image, rect);  // over the label and the glyph
}

void ConvertButton::setColor(SDL_Color newColor) { fillColor = newColor; }

void ConvertButton::setPosition(glm::ivec2 position) {
    labelPosition = position;
    if (label) label->setPosition(labelPlace(position));
    ButtonBase::setPosition(position);
    if (glyph) glyph->setPosition(glyphPosition());
}

void ConvertButton::resize(glm::ivec2 windowSize) {
    const glm::ivec2 size =
        DesignScale::fromConfig().imageButtonSize({designRect.w, designRect.h}, windowSize);
    rect.w = size.x;
    rect.h = size.y;
}
