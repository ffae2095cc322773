#pragma once
// Registers scenes by name, makes one current, and runs the program's single
// event-and-render loop on the main thread. Child windows host further scenes.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>
#include <vector>

#include "scene/scene_object.h"
#include "scene/window_object.h"

class SceneManager {
public:
    std::vector<std::shared_ptr<ISceneObject>> scenes;
    SDL_Renderer* renderer = nullptr;
    SDL_Event event{};
    int current = 0;
    bool suspended = false;
    bool quitRequested = false;
    std::wstring startDirectory;
    bool childWindowsActive = false;
    std::vector<std::shared_ptr<WindowObject>> childWindows;

    // The first scene added becomes current. Names are not checked for duplicates.
    void addScene(std::shared_ptr<ISceneObject> scene);
    // Position of the first scene with that name; the number of scenes when none has it.
    int indexOf(const std::string& name) const;
    // Restores the start directory, sets up the current scene; true when it is ready.
    bool setupCurrent();
    // The main loop; returns when it has ended and every scene has been quit.
    void run();
    // Quits the current scene and sets up the named one. An unknown name changes nothing.
    void switchScene(const std::string& name);
    void removeScene(const std::string& name);

    // Shows the child window of the named scene, creating it (and setting the scene up
    // against its renderer) on the first call. An unknown name changes nothing.
    void openWindow(const std::string& name, glm::ivec2 size);
    void hideWindow(const std::string& name);

private:
    void restoreStartDirectory() const;
};

// Captures the main renderer (sharedRenderer) and the working directory. Throws
// std::filesystem::filesystem_error when the working directory cannot be read.
std::shared_ptr<SceneManager> createSceneManager();

// The main window's renderer, shared by the scene manager and the converter screen.
extern SDL_Renderer* sharedRenderer;
