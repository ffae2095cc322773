#pragma once
// One face of the preview's play/pause control: an image (a small and a large variant by
// window size) or, when no image loads, a glyph of the icon font. The press is handed to
// the callback without a hit test of its own: the cover button that owns it tests.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "widgets/button_base.h"
#include "widgets/design_scale.h"
#include "widgets/icon_font_variants.h"
#include "widgets/icon_text.h"

class PlayPauseButton : public ButtonBase {
public:
    PlayPauseButton(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position);
    ~PlayPauseButton() override;

    // Opens the icon font (normal and display-scaled sizes) and builds the glyph.
    void setIcon(const std::string& fontPath, Uint16 codePoint, SDL_Color color, int pointSize);
    // Loads both images; the small one is drawn until a wide window asks for the large one.
    // A path that does not load leaves that image out; with neither, the glyph is drawn.
    void setImages(const std::string& largePath, const std::string& smallPath,
                   glm::ivec2 position, glm::ivec2 size);

    void render() override;
    bool onPress(glm::ivec2 point) override;
    void setPosition(glm::ivec2 position) override;
    // Handed the window size: the rectangle follows the glyph's scaled point size, the image
    // its scaled design size (only beyond the default width), the glyph the font variant
    // and the image the variant of that window size.
    void resize(glm::ivec2 windowSize) override;

    std::shared_ptr<iconText> glyph;
    Uint16 glyphCode = 0;
    SDL_Color glyphColor{255, 255, 255, 255};
    int fontSize = 0;
    IconFontVariants fonts;
    SDL_Texture* smallImage = nullptr;    // owned
    SDL_Texture* largeImage = nullptr;    // owned
    SDL_Texture* currentImage = nullptr;  // one of the two, or null
    SDL_Rect imageRect{0, 0, 0, 0};
    glm::ivec2 designImageSize{0, 0};
    SDL_Rect displayBounds{0, 0, 0, 0};

private:
    DesignScale scale = DesignScale::fromConfig();
};
