#pragma once
// The big convert and stop buttons: a fill, a label, an optional icon glyph and, over them,
// the button's picture, which grows with the window beyond its default width. A press
// inside fires the callback, through which the owner starts or stops the work.
#include <SDL.h>
#include <SDL_ttf.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "widgets/button_base.h"
#include "widgets/icon_text.h"
#include "widgets/text_base.h"

class ConvertButton : public ButtonBase {
public:
    std::string imagePath;
    SDL_Texture* image = nullptr;          // owned; null when not set or not loaded
    SDL_Rect designRect{0, 0, 0, 0};       // the rectangle when the image was set
    TTF_Font* labelFont = nullptr;         // not owned
    SDL_Color fillColor{0, 0, 0, 0};
    glm::vec2 labelPosition{0.0f, 0.0f};
    std::shared_ptr<pureText> label;
    std::shared_ptr<iconText> glyph;       // empty unless set by the owner

    ConvertButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position);
    ~ConvertButton() override;

    // The label is placed 73 pixels right of and 18 below `position`.
    void setText(TTF_Font* font, SDL_Color textColor, glm::vec2 position, const std::string& text);
    // Loads the picture and takes the current rectangle as the design size.
    void setImage(const std::string& path);
    // A glyph of an icon font left of the label, a quarter of the height down.
    void setGlyph(TTF_Font* font, Uint16 codePoint, SDL_Color glyphColor);

    void render() override;
    void setColor(SDL_Color newColor) override;
    void setPosition(glm::ivec2 position) override;
    // Handed the window size: the design size up to the default window width, scaled above.
    void resize(glm::ivec2 windowSize) override;

private:
    glm::ivec2 glyphPosition() const;
};
