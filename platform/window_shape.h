#pragma once
// The main window's shape. On Windows the window has no frame where the background image
// leaves it empty: each frame starts magenta, and a colour key makes every pixel still
// magenta at presentation transparent. Elsewhere the window is opaque and each frame
// starts in the panel colour, so no magenta is ever seen.
#include <SDL.h>

namespace kalo::platform {

// Clears the renderer for a new frame of `window` and, where the window is shaped, makes
// the key colour transparent.
void beginShapedFrame(SDL_Window* window, SDL_Renderer* renderer);

}  // namespace kalo::platform
