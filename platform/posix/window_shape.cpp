#include "platform/window_shape.h"

namespace kalo::platform {

void beginShapedFrame(SDL_Window*, SDL_Renderer* renderer) {
    SDL_SetRenderDrawColor(renderer, 246, 246, 246, 255);
    SDL_RenderClear(renderer);
}

}  // namespace kalo::platform
