#include "app/graphics_setup.h"

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "config/json_base.h"
#include "platform/console_window.h"
#include "scene/scene_manager.h"

std::optional<std::string> chooseAudioDriver(const std::vector<std::string>& available) {
    for (const char* preferred : {"directsound", "winmm"}) {
        if (std::find(available.begin(), available.end(), preferred) != available.end()) {
            return std::string(preferred);
        }
    }
    return std::nullopt;
}

std::string rendererReport(const SDL_RendererInfo& info) {
    std::ostringstream out;
    out << "Renderer dirver: " << (info.name ? info.name : "") << "\n";
    out << "Renderer Mode: ";
    if (info.flags & SDL_RENDERER_SOFTWARE) out << "SOFTWARE" << ", ";
    if (info.flags & SDL_RENDERER_ACCELERATED) out << "ACCELERATED" << ", ";
    if (info.flags & SDL_RENDERER_PRESENTVSYNC) out << "PRESENTVSYNC" << ", ";
    if (info.flags & SDL_RENDERER_TARGETTEXTURE) out << "TARGETTEXTURE" << "\n";
    for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
        out << SDL_GetPixelFormatName(info.texture_formats[i]);
        out << (i + 1 < info.num_texture_formats ? ", " : "\n");
    }
    return out.str();
}

void startAudio() {
    if (SDL_WasInit(SDL_INIT_AUDIO)) return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        std::fprintf(stderr, "No sound: %s\n", SDL_GetError());
}

int initGraphics(SDL_Window** window, SDL_Surface** windowSurface,
                 const std::function<void()>& whileWindowIsMade) {
    kalo::platform::setConsoleWindowVisible(false);

    std::vector<std::string> drivers;
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) drivers.emplace_back(SDL_GetAudioDriver(i));
    if (const auto driver = chooseAudioDriver(drivers)) {
        SDL_setenv("SDL_AUDIODRIVER", driver->c_str(), 1);
    }

    // Sound starts after the first frame (startAudio): probing the sound servers takes a
    // good part of a second on some desktops, and nothing sounds before a preview plays.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Could not initialize SDL - %s\n", SDL_GetError());
        std::exit(1);
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "Could not initialize SDL TTF - %s\n", SDL_GetError());
        std::exit(1);
    }

    if (!(IMG_Init(IMG_INIT_PNG) & IMG_INIT_PNG)) {
        std::cout << "SDL_image could not initialize! SDL_image Error: " << SDL_GetError()
                  << std::endl;
        return -1;
    }
    if (whileWindowIsMade) whileWindowIsMade();

    const int height = uiConfig->getInt("PARAM_OTHER", "defaultWindowSizeY");
    const int width = uiConfig->getInt("PARAM_OTHER", "defaultWindowSizeX");
    const std::string title = uiConfig->getString("PARAM_OTHER", "KALO_BRAND");

    *window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               width, height, 0);
    if (!*window) {
        std::cout << "Window could not be created! SDL Error: " << SDL_GetError() << std::endl;
        return -1;
    }
    sharedRenderer = SDL_CreateRenderer(*window, -1,
                                        SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!sharedRenderer) {
        std::cout << "Renderer could not be created! SDL Error: " << SDL_GetError() << std::endl;
        return -1;
    }
    SDL_SetRenderDrawColor(sharedRenderer, 255, 255, 255, 255);

    *windowSurface = SDL_GetWindowSurface(*window);
    if (*windowSurface) {
        std::cout << "Name of screen format: "
                  << SDL_GetPixelFormatName((*windowSurface)->format->format) << std::endl;
    }

    SDL_RendererInfo info;
    SDL_zero(info);
    SDL_GetRendererInfo(sharedRenderer, &info);
    std::cout << rendererReport(info) << std::flush;

    if (info.flags & SDL_RENDERER_TARGETTEXTURE) return 0;
    std::cout << "Require a framebuffer supported GPU" << std::endl;
    return -1;
}
