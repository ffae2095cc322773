// kalo-converter: start-up and shutdown.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "app/graphics_setup.h"
#include "conversion/conversion_job.h"
#include "platform/executable_path.h"
#include "platform/text_encoding.h"
#include "platform/working_directory.h"
#include "scene/scene_manager.h"
#include "screen/main_scene.h"
#include "screen/startup_assets.h"
#include "widgets/asset_preload.h"

namespace {

void setWindowIcon(SDL_Window* window) {
    SDL_RWops* stream = SDL_RWFromFile("icon/KALO_ICON.bmp", "rb");
    if (!stream) return;  // the default icon will do
    SDL_Surface* icon = SDL_LoadBMP_RW(stream, 1);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

// A video named on the command line (as a desktop's "Open with" passes it), made absolute
// against the folder the program was started in. Empty when none was given.
std::string startupSourceArgument(int argc, char* argv[]) {
    if (argc < 2 || argv[1][0] == '\0') return {};
    std::error_code error;
    const std::filesystem::path given = kalo::pathFromUtf8(argv[1]);
    const std::filesystem::path absolute = std::filesystem::absolute(given, error);
    return kalo::pathToUtf8(error ? given : absolute.lexically_normal());
}

// Images, fonts and icons are found by paths relative to the program's folder: work from
// there, whatever folder the program was started in (a desktop entry, a terminal).
void moveToProgramFolder() {
    const std::filesystem::path folder = kalo::platform::executableDirectory();
    if (folder.empty() || !kalo::platform::setWorkingDirectory(folder.wstring())) {
        std::cout << "cannot move to the program's folder; using the working directory" << std::endl;
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string startupSource = startupSourceArgument(argc, argv);
    moveToProgramFolder();
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "2");
    // The screen turns a close of its window into a quit (refused while converting); SDL's
    // own quit on the last window's close would ask a second time.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");

    SDL_Window* window = nullptr;
    SDL_Surface* windowSurface = nullptr;
    // The screen's fonts and pictures are opened on a worker while the window is made.
    std::unique_ptr<kalo::AssetPreload> preload;
    const auto startPreload = [&preload] {
        preload = std::make_unique<kalo::AssetPreload>(mainScreenAssets());
    };
    if (initGraphics(&window, &windowSurface, startPreload) != 0) return -1;
    if (preload) preload->finish();
    std::cout << "init SDL success\n" << std::flush;

    setWindowIcon(window);

    glm::ivec2 windowSizeVar(0, 0);
    SDL_GetWindowSize(window, &windowSizeVar.x, &windowSizeVar.y);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);

    std::shared_ptr<SceneManager> manager = createSceneManager();
    auto mainScene = std::shared_ptr<MainScene>(new MainScene(sharedRenderer, window, "Main"));
    mainScene->setManager(manager);
    // The program's own path, whatever the command line called it: the colour looks are
    // found beside it.
    const std::filesystem::path program = kalo::platform::executablePath();
    mainScene->appFolder = !program.empty() ? kalo::pathToUtf8(program) : (argc > 0 ? argv[0] : "");
    mainScene->windowSize = &windowSizeVar;
    mainScene->startupSource = startupSource;
    mainScene->afterFirstFrame = startAudio;
    manager->addScene(mainScene);
    manager->run();
    // An accepted quit has told a running converter to stop: let it finish its file.
    waitForConversionWorker(std::chrono::seconds(10));
    preload.reset();  // the fonts it still holds close before their library does

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
