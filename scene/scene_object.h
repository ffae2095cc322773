#pragma once
// A scene owns one window's content: it takes that window's events and draws its frames.
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

class SceneManager;

class ISceneObject {
public:
    ISceneObject(SDL_Window* window, std::string name);
    virtual ~ISceneObject() = default;

    // Builds the scene's resources; sets `ready` when the scene is usable.
    virtual void init() = 0;
    virtual void handleEvent(const SDL_Event& event) = 0;
    // Draws one frame on `renderer` and presents it.
    virtual void render() = 0;
    // Whether the next pass must draw although no event came. A scene whose picture changes
    // only on events, its own animations and a few timers says no in between, so an idle
    // window costs next to nothing; drawing with a software renderer takes a good part of a
    // core at the display's rate, which a running conversion needs. The default draws every
    // pass.
    virtual bool wantsFrame() const { return true; }
    // Releases what init built and clears `ready`; init may run again afterwards.
    virtual void quit() = 0;

    void setManager(std::shared_ptr<SceneManager> sceneManager);

    // Quit, window-manager and user events belong to every scene; any other event only to
    // the scene whose window it came from.
    bool ownsEvent(const SDL_Event& event) const;

    std::uint32_t windowId = 1;
    SDL_Renderer* renderer = nullptr;
    SDL_Window* window = nullptr;
    std::string name;
    bool ready = false;
    std::shared_ptr<SceneManager> manager;
};

// The id of the window an event came from, or 0 for events that belong to no window.
std::uint32_t eventWindowId(const SDL_Event& event);
