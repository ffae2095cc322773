#pragma once
// Opens fonts and decodes pictures on a worker thread while the window and its renderer are
// being made. Making a GL context takes a fifth of a second on some machines, parsing the CJK
// text font at each of its sizes and decoding the background take most of what building the
// screen costs after it: done side by side, the first frame comes that much sooner.
//
// Fonts land in the font cache (the preload holds one reference to each until it is
// destroyed); pictures wait as surfaces until loadTexture takes them. Anything the screen
// never asks for is released with the preload.
#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <thread>
#include <vector>

namespace kalo {

struct FontRequest {
    std::string path;
    int pointSize = 0;
};

struct StartupAssets {
    std::vector<FontRequest> fonts;
    std::vector<std::string> pictures;
};

class AssetPreload {
public:
    // Starts the worker. TTF_Init must have succeeded (fonts are skipped otherwise).
    explicit AssetPreload(StartupAssets assets);
    ~AssetPreload();
    AssetPreload(const AssetPreload&) = delete;
    AssetPreload& operator=(const AssetPreload&) = delete;

    // Waits until the worker is done. Call it before anything else opens a font: FreeType
    // wants faces created on one thread at a time.
    void finish();

private:
    std::thread worker;
    std::vector<TTF_Font*> heldFonts;  // one reference each, taken from the font cache
};

// A picture file as a texture of the renderer: the preloaded surface when there is one,
// else decoded now. Null without a renderer, or (with SDL's error set) when the file cannot
// be read.
SDL_Texture* loadTexture(SDL_Renderer* renderer, const std::string& path);

}  // namespace kalo
