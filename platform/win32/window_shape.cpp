#include "platform/window_shape.h"

#include <SDL_syswm.h>
#include <windows.h>

namespace kalo::platform {

namespace {
constexpr COLORREF keyColour = RGB(255, 0, 255);
}

void beginShapedFrame(SDL_Window* window, SDL_Renderer* renderer) {
    SDL_SetRenderDrawColor(renderer, 255, 0, 255, 255);
    SDL_RenderClear(renderer);

    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info)) return;
    HWND hwnd = info.info.win.window;
    // Repeated every frame, as the style can be reset when the window is re-created.
    const LONG style = GetWindowLongW(hwnd, GWL_EXSTYLE);
    SetWindowLongW(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, keyColour, 0, LWA_COLORKEY);
}

}  // namespace kalo::platform
