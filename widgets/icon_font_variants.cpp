#include "widgets/icon_font_variants.h"

#include "widgets/font_cache.h"
#include <cstdio>

namespace {

TTF_Font* openFont(const std::string& path, int pointSize) {
    if (path.empty() || pointSize <= 0 || !TTF_WasInit()) return nullptr;
    TTF_Font* font = acquireFont(path.c_str(), pointSize);
    if (!font) std::printf("font not opened: %s (%s)\n", path.c_str(), TTF_GetError());
    return font;
}

}  // namespace

IconFontVariants::~IconFontVariants() { close(); }

void IconFontVariants::close() {
    if (normalFont) releaseFont(normalFont);
    if (scaledFont) releaseFont(scaledFont);
    normalFont = nullptr;
    scaledFont = nullptr;
}

void IconFontVariants::open(const std::string& path, int pointSize_, const DesignScale& scale,
                            int displayWidth) {
    close();
    pointSize = pointSize_;
    if (displayWidth <= 0) displayWidth = primaryDisplayWidth();
    scaledPointSize = displayWidth > 0 ? scale.largeFontPointSize(pointSize, displayWidth)
                                       : pointSize;
    normalFont = openFont(path, pointSize);
    scaledFont = openFont(path, scaledPointSize);
}

TTF_Font* IconFontVariants::fontFor(glm::ivec2 windowSize, const DesignScale& scale) const {
    return scale.useLargeIconFont(windowSize) ? scaledFont : normalFont;
}
