#pragma once
// Signals to the main loop. All use the single type SDL_USEREVENT, told apart by user.code;
// SDL's event queue is thread-safe, so worker threads push these instead of calling scenes.
#include <SDL.h>

enum UserEventCode : Sint32 {
    EVT_CONVERSION_STARTED = 10,   // conversion worker: about to start the converter
    EVT_CONVERSION_FINISHED = 11,  // conversion worker: the converter has ended (data1: outcome)
    EVT_SOURCE_LOADED = 20,        // a new source video is set in the job record
};

// Pushes an SDL_USEREVENT with the code (and data1); false when SDL's queue refused it.
bool pushUserEvent(Sint32 code, Sint32 data1 = 0);

// The data1 value that pushUserEvent stored.
Sint32 userEventValue(const SDL_Event& event);
