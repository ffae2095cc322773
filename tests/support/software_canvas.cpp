#include "software_canvas.h"

#include <ostream>

namespace kalo::test {

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a)
               << ")";
}

SoftwareCanvas::SoftwareCanvas(int width, int height) {
    surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
}

SoftwareCanvas::~SoftwareCanvas() {
    if (renderer) SDL_DestroyRenderer(renderer);
    if (surface) SDL_FreeSurface(surface);
}

void SoftwareCanvas::clear(SDL_Color color) {
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    SDL_RenderClear(renderer);
}

Rgba SoftwareCanvas::pixel(int x, int y) const {
    SDL_RenderFlush(renderer);
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    const Uint32 value = reinterpret_cast<const Uint32*>(row)[x];
    Rgba color;
    SDL_GetRGBA(value, surface->format, &color.r, &color.g, &color.b, &color.a);
    return color;
}

int SoftwareCanvas::countDiffering(SDL_Rect area, Rgba reference) const {
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            if (pixel(x, y) != reference) ++count;
    return count;
}

bool SoftwareCanvas::save(const std::string& path) const {
    return SDL_SaveBMP(surface, path.c_str()) == 0;
}

}  // namespace kalo::test
