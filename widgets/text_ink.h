#pragma once
// The colour text is rendered in. The layout's text colours were chosen for a font library
// that drew glyphs fully opaque whatever the colour's alpha, so some of them carry alpha 0
// ("#000000" reads as transparent black). Text keeps that behaviour: its colour's alpha is
// ignored and the glyphs' own coverage alone makes their edges soft. Fills are not affected.
#include <SDL.h>

inline SDL_Color textInk(SDL_Color color) {
    color.a = 255;
    return color;
}
