#include "scene/user_events.h"

bool pushUserEvent(Sint32 code, Sint32 data1) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_USEREVENT;
    event.user.code = code;
    event.user.data1 = reinterpret_cast<void*>(static_cast<intptr_t>(data1));
    return SDL_PushEvent(&event) == 1;
}

Sint32 userEventValue(const SDL_Event& event) {
    return static_cast<Sint32>(reinterpret_cast<intptr_t>(event.user.data1));
}
