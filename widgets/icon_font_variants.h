#pragma once
// An icon font opened twice for a glyph that follows the window: at its configured point
// size, and at that size scaled by the display width over the default window width. The
// large one is used once the window is as wide as the design canvas.
#include <SDL_ttf.h>

#include <glm/vec2.hpp>
#include <string>

#include "widgets/design_scale.h"

class IconFontVariants {
public:
    TTF_Font* normalFont = nullptr;  // owned
    TTF_Font* scaledFont = nullptr;  // owned
    int pointSize = 0;
    int scaledPointSize = 0;

    IconFontVariants() = default;
    ~IconFontVariants();
    IconFontVariants(const IconFontVariants&) = delete;
    IconFontVariants& operator=(const IconFontVariants&) = delete;

    // Opens both variants (closing earlier ones). displayWidth 0 reads display 0 now; when
    // that fails too, the large variant gets the normal point size. A font that does not
    // open stays null and is reported on one line; glyphs built from it draw nothing.
    void open(const std::string& path, int pointSize, const DesignScale& scale,
              int displayWidth = 0);

    // The font for a window of this size (may be null when the file did not open).
    TTF_Font* fontFor(glm::ivec2 windowSize, const DesignScale& scale) const;

private:
    void close();
};
