#include "player/render_data.h"

#include <utility>

std::shared_ptr<RenderData> RenderData::create(Callback callback, SDL_Rect rect,
                                               SDL_Texture* texture) {
    return std::shared_ptr<RenderData>(new RenderData(std::move(callback), rect, texture));
}

RenderData::RenderData(Callback callback, SDL_Rect rect, SDL_Texture* texture)
    : texture(texture), rect(rect), callback(std::move(callback)) {}

void RenderData::draw(SDL_Renderer** renderer) { callback(renderer, &rect, texture); }

void RenderData::sync() {
    if (pendingTexture) texture = pendingTexture;
}
