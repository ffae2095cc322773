#pragma once
// Drawing without a window: a software renderer on an RGBA surface whose pixels the tests
// read back.
#include <SDL.h>

#include <iosfwd>
#include <string>

namespace kalo::test {

struct Rgba {
    Uint8 r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};
std::ostream& operator<<(std::ostream& out, const Rgba& c);
inline Rgba rgba(SDL_Color c) { return {c.r, c.g, c.b, c.a}; }

class SoftwareCanvas {
public:
    // A mid-dark grey that no test picture uses: what clear() paints unless told otherwise.
    static constexpr SDL_Color background{64, 64, 64, 255};

    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;

    SoftwareCanvas(int width, int height);
    ~SoftwareCanvas();
    SoftwareCanvas(const SoftwareCanvas&) = delete;
    SoftwareCanvas& operator=(const SoftwareCanvas&) = delete;

    // Paints every pixel, blending switched off.
    void clear(SDL_Color color = background);
    // The pixel as drawn so far (pending drawing is flushed first).
    Rgba pixel(int x, int y) const;
    // Pixels inside `area` that differ from `reference`.
    int countDiffering(SDL_Rect area, Rgba reference) const;
    // Writes the surface as a BMP, for looking at it.
    bool save(const std::string& path) const;
};

}  // namespace kalo::test
