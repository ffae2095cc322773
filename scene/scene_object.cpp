#include "scene/scene_object.h"

#include <utility>

ISceneObject::ISceneObject(SDL_Window* sceneWindow, std::string sceneName)
    : window(sceneWindow), name(std::move(sceneName)) {}

void ISceneObject::setManager(std::shared_ptr<SceneManager> sceneManager) {
    manager = std::move(sceneManager);
}

bool ISceneObject::ownsEvent(const SDL_Event& event) const {
    if (event.type == SDL_QUIT || event.type == SDL_SYSWMEVENT || event.type == SDL_USEREVENT) {
        return true;
    }
    return eventWindowId(event) == windowId;
}

std::uint32_t eventWindowId(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT: return event.window.windowID;
        case SDL_KEYDOWN:
        case SDL_KEYUP: return event.key.windowID;
        case SDL_TEXTEDITING: return event.edit.windowID;
        case SDL_TEXTINPUT: return event.text.windowID;
        case SDL_MOUSEMOTION: return event.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: return event.button.windowID;
        case SDL_MOUSEWHEEL: return event.wheel.windowID;
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
        case SDL_DROPBEGIN:
        case SDL_DROPCOMPLETE: return event.drop.windowID;
        case SDL_USEREVENT: return event.user.windowID;
        default: return 0;
    }
}
