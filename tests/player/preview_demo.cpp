// A small program around the real preview window, for looking at it and driving it by hand
// or with xdotool: preview_demo <video> [seconds]
// Keys (in either window): f next colour look, n no look, o open the preview again,
// space play/pause, q quit. Prints the playback position and the pictures shown per second.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "conversion/windows_manager.h"
#include "player/player_window.h"
#include "scene/scene_manager.h"

namespace {

class DemoScene : public ISceneObject {
public:
    DemoScene(SDL_Window* window, std::shared_ptr<FFmpegHelper> engine, std::string previewName,
              Uint32 seconds)
        : ISceneObject(window, "demo"), engine(std::move(engine)),
          previewName(std::move(previewName)), seconds(seconds) {}

    void init() override {
        started = lastReport = SDL_GetTicks();
        ready = true;
    }
    void handleEvent(const SDL_Event& event) override {
        if (event.type == SDL_QUIT) manager->quitRequested = true;
        if (event.type != SDL_KEYDOWN) return;
        switch (event.key.keysym.sym) {
            case SDLK_f:
                look = look % 10 + 1;
                engine->setFilter(static_cast<std::uint8_t>(look));
                std::printf("look %d\n", look);
                break;
            case SDLK_n:
                engine->setFilter(0);
                std::printf("look none\n");
                break;
            case SDLK_o: manager->openWindow(previewName, {880, 540}); break;
            case SDLK_SPACE: engine->togglePause(); break;
            case SDLK_q: manager->quitRequested = true; break;
            default: break;
        }
        std::fflush(stdout);
    }
    void render() override {
        SDL_SetRenderDrawColor(renderer, 246, 246, 246, 255);
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
        const Uint32 now = SDL_GetTicks();
        const std::int64_t position = engine->position;
        if (position != lastPosition) {
            ++pictures;
            lastPosition = position;
        }
        if (now - lastReport >= 1000) {
            std::printf("position %lld, %d pictures/s, paused %d, ended %d\n",
                        static_cast<long long>(position), pictures, engine->paused.load() ? 1 : 0,
                        engine->ended.load() ? 1 : 0);
            std::fflush(stdout);
            pictures = 0;
            lastReport = now;
        }
        if (seconds > 0 && now - started > seconds * 1000) manager->quitRequested = true;
    }
    void quit() override { ready = false; }

private:
    std::shared_ptr<FFmpegHelper> engine;
    std::string previewName;
    Uint32 seconds;
    Uint32 started = 0, lastReport = 0;
    std::int64_t lastPosition = -1;
    int pictures = 0;
    int look = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_demo <video> [seconds]\n");
        return 2;
    }
    const Uint32 seconds = argc > 2 ? static_cast<Uint32>(std::atoi(argv[2])) : 0;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0 || TTF_Init() != 0) return 1;
    IMG_Init(IMG_INIT_PNG);
    SDL_Window* window = SDL_CreateWindow("main", 0, 0, 480, 200, 0);
    sharedRenderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    {
        refreshOptionTables();  // the filter table, as the converter screen builds it
        auto manager = createSceneManager();
        auto engine = std::make_shared<FFmpegHelper>();
        // Run from the build's bin folder: the colour looks are in its "filter" folder.
        engine->programPath = std::filesystem::current_path() / "kalo-converter";
        const std::string previewName = uiConfig->getString("PARAM_OTHER", "SCENE_NAME_PLAYER");
        auto demo = std::make_shared<DemoScene>(window, engine, previewName, seconds);
        demo->renderer = sharedRenderer;
        demo->setManager(manager);
        manager->addScene(demo);
        auto preview = std::make_shared<PlayerWindow>(sharedRenderer, window, previewName, engine);
        preview->setManager(manager);
        manager->addScene(preview);
        if (engine->open(argv[1], sharedRenderer) != 0) {
            std::fprintf(stderr, "cannot open %s\n", argv[1]);
            return 1;
        }
        JobSnapshot job = windowsManager->snapshot();
        job.input = L"demo";
        windowsManager->update(job);
        manager->openWindow(previewName, {880, 540});
        manager->run();
        engine->release();
    }
    SDL_DestroyRenderer(sharedRenderer);
    SDL_DestroyWindow(window);
    TTF_Quit();
    SDL_Quit();
    return 0;
}
