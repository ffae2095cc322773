#pragma once
// One thing a window draws each frame: a drawing callback with the rectangle and texture it
// is handed. Used on the main thread only.
#include <SDL.h>

#include <functional>
#include <memory>

class RenderData {
public:
    using Callback = std::function<void(SDL_Renderer**, SDL_Rect*, SDL_Texture*)>;

    static std::shared_ptr<RenderData> create(Callback callback, SDL_Rect rect,
                                              SDL_Texture* texture);

    RenderData(Callback callback, SDL_Rect rect, SDL_Texture* texture);
    virtual ~RenderData() = default;

    // Calls the callback with `renderer`, the address of `rect` and `texture`.
    virtual void draw(SDL_Renderer** renderer);
    // Takes over `pendingTexture` when one is set.
    virtual void sync();

    SDL_Texture* texture = nullptr;
    SDL_Texture* pendingTexture = nullptr;
    SDL_Rect rect{0, 0, 0, 0};
    Callback callback;
};
