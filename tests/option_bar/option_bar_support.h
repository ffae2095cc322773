#pragma once
// Shared pieces of the option bar tests: synthetic events, a real media engine with a test
// clip open, and the process-wide records put back to their start-up state.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>

#include "player/ffmpeg_helper.h"

namespace optionbar {

SDL_Event mouseButton(Uint32 type, int x, int y, Uint32 windowId = 0);
SDL_Event mouseMotion(int x, int y, Uint32 windowId = 0);
SDL_Event key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint32 windowId = 0);

// An engine with "count250.mp4" open on `renderer`, its filter folder the run-time one.
std::shared_ptr<FFmpegHelper> openedEngine(SDL_Renderer* renderer);

// The job record with a source set (so that it accepts changes) and default choices, and
// the profile's three choices at 0.
void resetProcessRecords();

// The centre of a rectangle.
glm::ivec2 centre(const SDL_Rect& rect);

}  // namespace optionbar
