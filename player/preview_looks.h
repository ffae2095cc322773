#pragma once
// The preview's looks beyond the colour filters of the filter table: sharpening and
// deblocking graphs applied to the shown picture only (they have no table row and never
// reach a conversion), and the left-Ctrl shortcuts that switch looks. The engine builds
// the graphs from this table and the main screen reads its keys from it, so a look is
// named in one place.
#include <SDL.h>

#include <string>

// Colour looks are the filter table's rows, 0 up to this limit; the preview-only looks are
// numbered above it.
constexpr int colourLookLimit = 100;
constexpr int sharpenLook = 101;
constexpr int deblockLook = 102;
constexpr int unsharpLook = 103;

struct PreviewLook {
    int filter;
    const char* graph;  // FFmpeg filter-graph text
};

constexpr PreviewLook previewLooks[] = {
    {sharpenLook,
     "convolution=0 -1 0 -1 5 -1 0 -1 0:0 -1 0 -1 5 -1 0 -1 0:"
     "0 -1 0 -1 5 -1 0 -1 0:0 -1 0 -1 5 -1 0 -1 0"},
    {deblockLook, "deblock=filter=strong:block=4:alpha=0.12:beta=0.07:gamma=0.06:delta=0.05"},
    {unsharpLook, "unsharp=luma_msize_x=7:luma_msize_y=7:luma_amount=2.5"},
};

// The graph text of preview look `filter`; "" when `filter` is not one.
std::string previewLookGraph(int filter);

// Left Ctrl+2 .. Ctrl+5: the first two switch colour looks of the filter table, the others
// preview-only looks.
struct PreviewLookShortcut {
    SDL_Keycode key;
    int filter;
};

constexpr PreviewLookShortcut previewLookShortcuts[] = {
    {SDLK_2, 0}, {SDLK_3, 1}, {SDLK_4, sharpenLook}, {SDLK_5, unsharpLook}};
