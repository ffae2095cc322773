#pragma once
// Bringing up SDL, its font and image libraries, the main window and its renderer.
#include <SDL.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The audio driver to force before SDL starts, from the names SDL offers: "directsound"
// wherever it is offered, else "winmm"; nothing when neither exists (SDL picks itself).
std::optional<std::string> chooseAudioDriver(const std::vector<std::string>& available);

// The lines printed about the renderer: driver name, mode flags, texture formats.
std::string rendererReport(const SDL_RendererInfo& info);

// Hides the console, starts SDL (exits with 1 when SDL or SDL_ttf cannot start), creates
// the main window from the configuration and its vsync renderer (kept in sharedRenderer).
// `whileWindowIsMade` runs once the font and image libraries are up, just before the window
// and its renderer are made (the longest step of the start): work started there on another
// thread overlaps it. Returns 0, or -1 after printing why.
int initGraphics(SDL_Window** window, SDL_Surface** windowSurface,
                 const std::function<void()>& whileWindowIsMade = {});
// Starts SDL's sound subsystem, once; left out of initGraphics so it does not delay the
// first frame. A machine without sound only prints a line.
void startAudio();
