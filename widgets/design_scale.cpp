#include "widgets/design_scale.h"

#include "config/json_base.h"

namespace {

constexpr int kBackground1080MinWidth = 1281;

int positiveOr(int value, int fallback) { return value > 0 ? value : fallback; }

}  // namespace

DesignScale DesignScale::fromConfig() {
    DesignScale scale;
    if (!uiConfig) return scale;
    scale.defaultWindowSize.x =
        positiveOr(uiConfig->getInt("PARAM_OTHER", "defaultWindowSizeX"), scale.defaultWindowSize.x);
    scale.defaultWindowSize.y =
        positiveOr(uiConfig->getInt("PARAM_OTHER", "defaultWindowSizeY"), scale.defaultWindowSize.y);
    scale.designCanvasWidth =
        positiveOr(uiConfig->getInt("PARAM_OTHER", "photoshopSizeX"), scale.designCanvasWidth);
    return scale;
}

int scaledLength(int designLength, float factor) {
    return static_cast<int>(static_cast<float>(designLength) * factor);
}

glm::vec2 DesignScale::factors(glm::ivec2 windowSize) const {
    return {static_cast<float>(windowSize.x) / static_cast<float>(defaultWindowSize.x),
            static_cast<float>(windowSize.y) / static_cast<float>(defaultWindowSize.y)};
}

glm::ivec2 DesignScale::iconWidgetSize(int pointSize, glm::ivec2 windowSize) const {
    const glm::vec2 s = factors(windowSize);
    return {scaledLength(pointSize, s.x), scaledLength(pointSize, s.y)};
}

glm::ivec2 DesignScale::imageButtonSize(glm::ivec2 designSize, glm::ivec2 windowSize) const {
    const glm::vec2 s = factors(windowSize);
    if (!(s.x > 1.0f)) return designSize;
    return {scaledLength(designSize.x, s.x), scaledLength(designSize.y, s.y)};
}

bool DesignScale::useLargeIconFont(glm::ivec2 windowSize) const {
    return windowSize.x >= designCanvasWidth;
}

bool DesignScale::useLargeImage(glm::ivec2 windowSize) const {
    return factors(windowSize).x > 1.0f;
}

int DesignScale::largeFontPointSize(int pointSize, int displayWidth) const {
    return static_cast<int>(static_cast<float>(pointSize) * static_cast<float>(displayWidth) /
                            static_cast<float>(defaultWindowSize.x));
}

bool useBackground1080(glm::ivec2 windowSize) { return windowSize.x >= kBackground1080MinWidth; }

int primaryDisplayWidth() {
    SDL_Rect bounds{0, 0, 0, 0};
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetDisplayBounds(0, &bounds) != 0) return 0;
    return bounds.w;
}
