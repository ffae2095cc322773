#pragma once
// Filling and copying into rectangles that may be empty. SDL's renderers still touch a
// row or column of pixels for a rectangle with no width or height; an empty rectangle
// (a bar at 0 %, a text without a font) must draw nothing.
#include <SDL.h>

inline bool hasArea(const SDL_Rect& rect) { return rect.w > 0 && rect.h > 0; }

inline void fillRect(SDL_Renderer* renderer, const SDL_Rect& rect, SDL_Color color) {
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    if (hasArea(rect)) SDL_RenderFillRect(renderer, &rect);
}

inline void copyTexture(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect& rect) {
    if (texture && hasArea(rect)) SDL_RenderCopy(renderer, texture, nullptr, &rect);
}
