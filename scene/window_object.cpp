#include "scene/window_object.h"

#include <utility>

WindowObject::WindowObject(std::shared_ptr<ISceneObject> hostedScene, glm::ivec2 requestedSize)
    : scene(std::move(hostedScene)), size(requestedSize) {}

WindowObject::~WindowObject() {
    if (window) SDL_HideWindow(window);
    shown = false;
    if (scene) scene->quit();
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    scene.reset();
}
