#include "screen/main_scene.h"

#include <utility>

#include "scene/scene_manager.h"

MainScene::MainScene(SDL_Renderer* sceneRenderer, SDL_Window* sceneWindow, std::string sceneName)
    : ISceneObject(sceneWindow, std::move(sceneName)) {
    renderer = sceneRenderer;
}

void MainScene::init() {
    if (ready) return;
    ready = true;
}

void MainScene::handleEvent(const SDL_Event& event) {
    if (!ownsEvent(event) && event.type != SDL_DROPFILE) return;
    switch (event.type) {
        case SDL_QUIT:
            if (manager) manager->quitRequested = true;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                SDL_Event quitEvent;
                SDL_zero(quitEvent);
                quitEvent.type = SDL_QUIT;
                SDL_PushEvent(&quitEvent);
            } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && windowSize) {
                *windowSize = glm::ivec2(event.window.data1, event.window.data2);
            }
            break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_ESCAPE) {
                SDL_Event quitEvent;
                SDL_zero(quitEvent);
                quitEvent.type = SDL_QUIT;
                SDL_PushEvent(&quitEvent);
            }
            break;
        case SDL_DROPFILE:
            SDL_free(event.drop.file);
            break;
        default:
            break;
    }
}

void MainScene::render() {
    SDL_SetRenderDrawColor(renderer, 246, 246, 246, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
}

void MainScene::quit() { ready = false; }
