// kalo-converter: start-up and shutdown.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <iostream>
#include <memory>

#include "app/graphics_setup.h"
#include "scene/scene_manager.h"
#include "screen/main_scene.h"

namespace {

void setWindowIcon(SDL_Window* window) {
    SDL_RWops* stream = SDL_RWFromFile("icon/KALO_ICON.bmp", "rb");
    if (!stream) return;  // the default icon will do
    SDL_Surface* icon = SDL_LoadBMP_RW(stream, 1);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace

int main(int argc, char* argv[]) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "2");

    SDL_Window* window = nullptr;
    SDL_Surface* windowSurface = nullptr;
    if (initGraphics(&window, &windowSurface) != 0) return -1;
    std::cout << "init SDL success\n" << std::flush;

    setWindowIcon(window);

    glm::ivec2 windowSizeVar(0, 0);
    SDL_GetWindowSize(window, &windowSizeVar.x, &windowSizeVar.y);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);

    std::shared_ptr<SceneManager> manager = createSceneManager();
    auto mainScene = std::shared_ptr<MainScene>(new MainScene(sharedRenderer, window, "Main"));
    mainScene->setManager(manager);
    mainScene->programPath = argc > 0 ? argv[0] : "";
    mainScene->windowSize = &windowSizeVar;
    manager->addScene(mainScene);
    manager->run();

    TTF_Quit();
    windowSurface = nullptr;  // owned by the window; released with it
    SDL_DestroyRenderer(sharedRenderer);
    sharedRenderer = nullptr;
    SDL_DestroyWindow(window);
    IMG_Quit();
    SDL_Quit();
    mainScene.reset();
    manager.reset();
    return 0;
}
