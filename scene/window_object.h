#pragma once
// A child window hosting one registered scene. Created on the first request to show the
// scene, only hidden when the user closes it, destroyed when the main loop ends.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>

#include "scene/scene_object.h"

class WindowObject {
public:
    WindowObject(std::shared_ptr<ISceneObject> hostedScene, glm::ivec2 requestedSize);
    // Hides the window, quits the scene, destroys renderer and window.
    ~WindowObject();

    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    std::shared_ptr<ISceneObject> scene;
    SDL_Renderer* renderer = nullptr;
    SDL_Window* window = nullptr;
    glm::ivec2 size;
    bool shown = false;
};
