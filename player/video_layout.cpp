#include "player/video_layout.h"

// Float arithmetic with truncating conversions throughout, so that sizes come out the same
// on every platform for the same window.
SDL_Rect computeVideoRect(int areaWidth, int areaHeight, float scale, int pictureWidth,
                          int pictureHeight, int rotation) {
    const float W = static_cast<float>(areaWidth);
    const float H = static_cast<float>(areaHeight);
    const float r = pictureHeight > 0 ? static_cast<float>(pictureWidth) / static_cast<float>(pictureHeight)
                                      : 1.0f;
    if (rotation != 90 && rotation != 270) {
        int w = static_cast<int>(W * scale);
        int h = static_cast<int>(static_cast<float>(w) / r);
        if (h > static_cast<int>(H * scale)) {
            h = static_cast<int>(H * scale);
            w = static_cast<int>(static_cast<float>(h) * r);
        }
        return SDL_Rect{(areaWidth - w) / 2, (areaHeight - h) / 2, w, h};
    }
    // Turned a quarter: the rectangle's height `a` becomes the on-screen width.
    int a = static_cast<int>(W * scale);
    int b = static_cast<int>(static_cast<float>(a) / (1.0f / r));
    if (b > static_cast<int>(H * scale)) {
        b = static_cast<int>(H * scale);
        a = static_cast<int>(static_cast<float>(b) * (1.0f / r));
    }
    return SDL_Rect{areaWidth / 2 - b / 2, areaHeight / 2 - a / 2, b, a};
}
