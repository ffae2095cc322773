#include "scene/scene_manager.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "platform/text_encoding.h"
#include "platform/working_directory.h"

SDL_Renderer* sharedRenderer = nullptr;

std::shared_ptr<SceneManager> createSceneManager() {
    auto manager = std::shared_ptr<SceneManager>(new SceneManager());
    manager->renderer = sharedRenderer;
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    if (error) {
        throw std::filesystem::filesystem_error(
            "current_path(): can't get current working directory", error);
    }
    manager->startDirectory = kalo::utf8ToWide(kalo::pathToUtf8(directory));
    return manager;
}

void SceneManager::addScene(std::shared_ptr<ISceneObject> scene) {
    scenes.push_back(std::move(scene));
}

int SceneManager::indexOf(const std::string& name) const {
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        if (scenes[i]->name == name) return static_cast<int>(i);
    }
    return static_cast<int>(scenes.size());
}

void SceneManager::restoreStartDirectory() const {
    // File dialogs may have moved the working directory; assets load by relative paths.
    kalo::platform::setWorkingDirectory(startDirectory);
}

bool SceneManager::setupCurrent() {
    if (current < 0 || current >= static_cast<int>(scenes.size())) return false;
    std::shared_ptr<ISceneObject> scene = scenes[current];
    restoreStartDirectory();
    scene->init();
    scene->renderer = renderer;
    scene->windowId = SDL_GetWindowID(scene->window);
    return scene->ready;
}

namespace {

// How long a window with nothing moving sleeps before it asks its scene again.
constexpr Uint32 kIdleLookAgainMs = 100;

// One refresh interval of the main display (60 Hz when it does not say), in milliseconds.
Uint32 shortestPassMs() {
    SDL_DisplayMode mode;
    int rate = 60;
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) rate = mode.refresh_rate;
    return static_cast<Uint32>(1000 / std::max(rate, 30));
}

}  // namespace

void SceneManager::run() {
    if (!setupCurrent()) {
        std::cout << "setup failed" << std::endl;
        return;
    }
    const Uint32 passMs = shortestPassMs();
    do {
        const Uint32 passStart = SDL_GetTicks();
        bool eventCame = false;
        while (SDL_PollEvent(&event)) {
            eventCame = true;
            if (!suspended) {
                const SDL_Event copy = event;
                scenes[current]->handleEvent(copy);
            }
            if (childWindowsActive) {
                for (std::size_t i = 0; i < childWindows.size(); ++i) {
                    const SDL_Event copy = event;
                    childWindows[i]->scene->handleEvent(copy);
                }
            }
        }
        const bool drawn = !suspended && (eventCame || scenes[current]->wantsFrame());
        if (drawn) scenes[current]->render();
        if (childWindowsActive) {
            for (std::size_t i = 0; i < childWindows.size(); ++i) childWindows[i]->scene->render();
        }
        if (quitRequested) break;
        const Uint32 spent = SDL_GetTicks() - passStart;
        if (!drawn && !childWindowsActive) {
            // Nothing moves: sleep until an event comes (input, a timer, a worker's news),
            // but look again after a while, as time alone can make a scene want a frame.
            // Waking sixty times a second for nothing would take the converter's core
            // that often.
            SDL_WaitEventTimeout(nullptr, static_cast<int>(kIdleLookAgainMs));
        } else if (spent < passMs) {
            // Presenting with vertical sync paces the loop. Where the display cannot sync
            // (a virtual X server, some remote desktops) a present returns at once and the
            // loop would spin a whole core away from the converter: hold the pass to one
            // refresh.
            SDL_Delay(passMs - spent);
        }
    } while (!quitRequested);

    childWindows.clear();
    for (std::size_t i = 0; i < scenes.size(); ++i) scenes[i]->quit();
    // Scenes hold the manager and the manager holds the scenes; nothing runs after the
    // loop, so let the process-wide teardown free both.
    for (auto& scene : scenes) scene->manager.reset();
}

void SceneManager::switchScene(const std::string& name) {
    const int index = indexOf(name);
    if (index >= static_cast<int>(scenes.size())) return;
    suspended = true;
    if (current < static_cast<int>(scenes.size())) scenes[current]->quit();
    current = index;
    SDL_RenderPresent(renderer);
    if (setupCurrent()) suspended = false;
}

void SceneManager::removeScene(const std::string& name) {
    const int index = indexOf(name);
    if (index < static_cast<int>(scenes.size())) scenes.erase(scenes.begin() + index);
}

void SceneManager::openWindow(const std::string& name, glm::ivec2 size) {
    bool reused = false;
    for (auto& child : childWindows) {
        if (child->scene->name == name) {
            SDL_ShowWindow(child->window);
            child->shown = true;
            childWindowsActive = true;
            reused = true;
        }
    }
    if (reused) return;

    const int index = indexOf(name);
    if (index >= static_cast<int>(scenes.size())) return;
    std::shared_ptr<ISceneObject> scene = scenes[index];
    restoreStartDirectory();

    auto child = std::shared_ptr<WindowObject>(new WindowObject(scene, size));
    childWindows.push_back(child);
    child->window = SDL_CreateWindow(scene->name.c_str(), SDL_WINDOWPOS_CENTERED,
                                     SDL_WINDOWPOS_CENTERED, size.x, size.y, 0);
    child->shown = true;
    TTF_Init();  // nested: SDL_ttf counts initialisations
    child->renderer = SDL_CreateRenderer(child->window, -1,
                                         SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    scene->renderer = child->renderer;
    if (child->window) scene->window = child->window;
    scene->windowId = SDL_GetWindowID(scene->window);
    scene->quit();
    scene->init();
    childWindowsActive = true;
}

void SceneManager::hideWindow(const std::string& name) {
    if (childWindows.empty()) {
        childWindowsActive = false;
        return;
    }
    for (auto& child : childWindows) {
        if (child->scene->name == name) {
            if (child->window) SDL_HideWindow(child->window);
            child->shown = false;
        }
    }
    bool anyShown = false;
    for (const auto& child : childWindows) anyShown = anyShown || child->shown;
    if (!anyShown) childWindowsActive = false;
}
