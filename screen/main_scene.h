#pragma once
// The converter screen, the scene of the main window.
//
// Scaffolding until the converter screen's widgets exist: it clears the window to the
// panel colour and ends the program on quit, the window's close button or Escape.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <string>

#include "scene/scene_object.h"

class MainScene : public ISceneObject {
public:
    MainScene(SDL_Renderer* sceneRenderer, SDL_Window* sceneWindow, std::string sceneName);

    void init() override;
    void handleEvent(const SDL_Event& event) override;
    void render() override;
    void quit() override;

    std::string programPath;             // argv[0], to find folders beside the program
    glm::ivec2* windowSize = nullptr;    // the entry function's window size, kept current
};
