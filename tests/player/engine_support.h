#pragma once
// Helpers of the engine tests: a software renderer drawing into a surface whose pixels
// can be read back, bounded waiting, and reading a picture's values.
#include <SDL.h>

#include <functional>
#include <string>

#include "player/ffmpeg_helper.h"

namespace enginetest {

// Polls `condition` every 2 ms for at most `limitMs`; returns its last value.
bool waitUntil(const std::function<bool()>& condition, Uint32 limitMs = 10000);

// An RGB surface with a software renderer on it.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void clear();
    SDL_Color pixel(int x, int y) const;
    // Writes the surface as a BMP (for looking at it).
    void save(const std::string& path) const;

    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
};

// Calls the render step until `condition` holds or `limitMs` passed.
bool renderUntil(FFmpegHelper& engine, Canvas& canvas, const std::function<bool()>& condition,
                 Uint32 limitMs = 20000);

// The mean of plane `plane` of the engine's current picture (`frame`, or `filteredFrame`
// when `filtered`), read under the engine's mutex; -1 when there is no picture.
double meanOfPlane(FFmpegHelper& engine, int plane, bool filtered = false);

// The pixel format of the engine's current (or filtered) picture; -1 when none.
int pictureFormat(FFmpegHelper& engine, bool filtered = false);

// The frame number written into the current picture of "numbered1000.mp4".
int currentFrameNumber(FFmpegHelper& engine);

}  // namespace enginetest
