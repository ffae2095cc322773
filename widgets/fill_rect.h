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

// Replaces `texture` by one made from `surface` (which it frees) and sizes `rect` to it;
// with no surface, or when the texture cannot be made, leaves no texture and a 0 x 0 rect.
inline void replaceTexture(SDL_Renderer* renderer, SDL_Surface* surface, SDL_Texture*& texture,
                           SDL_Rect& rect) {
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    rect.w = 0;
    rect.h = 0;
    if (!surface) return;
    texture = SDL_CreateTextureFromSurface(renderer, surface);
    if (texture) {
        rect.w = surface->w;
        rect.h = surface->h;
    }
    SDL_FreeSurface(surface);
}
