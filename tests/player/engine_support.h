#pragma once
// Helpers of the engine tests: bounded waiting, drawing the engine on a software canvas
// until something holds, and reading a picture's values.
#include <SDL.h>

#include <functional>
#include <string>

#include "player/ffmpeg_helper.h"
#include "software_canvas.h"

namespace enginetest {

// Polls `condition` every 2 ms for at most `limitMs`; returns its last value.
bool waitUntil(const std::function<bool()>& condition, Uint32 limitMs = 10000);

// Calls the render step until `condition` holds or `limitMs` passed.
bool renderUntil(FFmpegHelper& engine, kalo::test::SoftwareCanvas& canvas, const std::function<bool()>& condition,
                 Uint32 limitMs = 20000);

// The mean of plane `plane` of the engine's current picture (`frame`, or `filteredFrame`
// when `filtered`), read under the engine's mutex; -1 when there is no picture.
double meanOfPlane(FFmpegHelper& engine, int plane, bool filtered = false);

// The pixel format of the engine's current (or filtered) picture; -1 when none.
int pictureFormat(FFmpegHelper& engine, bool filtered = false);

// The frame number written into the current picture of "numbered1000.mp4".
int currentFrameNumber(FFmpegHelper& engine);

}  // namespace enginetest
