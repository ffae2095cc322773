#pragma once
// Drawing without a window: a software renderer on an RGBA surface whose pixels the tests
// read back, plus the fonts the tests render with.
#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

struct Rgba {
    Uint8 r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
std::ostream& operator<<(std::ostream& out, const Rgba& c);
inline Rgba rgba(SDL_Color c) { return {c.r, c.g, c.b, c.a}; }

class SoftwareCanvas {
public:
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;

    SoftwareCanvas(int width, int height);
    ~SoftwareCanvas();
    SoftwareCanvas(const SoftwareCanvas&) = delete;
    SoftwareCanvas& operator=(const SoftwareCanvas&) = delete;

    void clear(SDL_Color color);
    Rgba pixel(int x, int y) const;
    // Pixels inside `area` that differ from `background`.
    int countDiffering(SDL_Rect area, Rgba background) const;
};

// A font file that renders Latin and CJK text: the shipped one when the run-time folder has
// it, else one of the system's. Empty when none exists.
std::string textFontPath();

// Writes a solid-colour PNG for image-loading tests; returns its path.
std::string writeSolidPng(const std::string& name, int width, int height, SDL_Color color);
