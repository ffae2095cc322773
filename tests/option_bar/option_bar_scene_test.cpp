// The option bar and the menu strip together on a real window, driven through SDL's own
// event queue the way the converter screen will drive them: the menu first, then the widget
// list; the bar drawn in the list and again on top, the strip last. With KALO_SHOT_DIR set,
// the frames a person would look at are saved there as PNG files.
#include <gtest/gtest.h>

#include <SDL_image.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "clip_factory.h"
#include "config/json_base.h"
#include "config/option_tables.h"
#include "conversion/windows_manager.h"
#include "option_bar_support.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "scene/menu_control.h"
#include "screen/pop_up_button.h"
#include "widget_test_support.h"
#include "widgets/about_button.h"
#include "widgets/widget_list.h"

using optionbar::centre;

namespace {

class OptionBarScene : public ::testing::Test {
protected:
    void SetUp() override {
        if (textFontPath().empty()) GTEST_SKIP() << "no font installed";
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("option bar", 0, 0, 1152, 648, 0);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        renderer = SDL_CreateRenderer(window, -1, 0);
        ASSERT_NE(renderer, nullptr) << SDL_GetError();
        background = IMG_LoadTexture(renderer, otherText("MAIN_BACKGROUND720").c_str());
        optionbar::resetProcessRecords();
        engine = std::make_shared<FFmpegHelper>();
        engine->programPath = std::filesystem::path(KALO_BIN_DIR) / "kalo-converter";
        bar = PopUpButton::create(renderer, {31, 31}, {1456, 808}, engine);
        widgets = {bar};
        menu = buildMainMenu(window, renderer);
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->ok);
        about = AboutButton::create(renderer, {0, 0}, {0, 0}, {0, 0});
        actions.about = [this] { about->showAbout(); };
        actions.open = [this] { ++opens; };
        actions.exit = [this] { ++exits; };
        previousBoxes = kalo::platform::setMessageBoxHandler(
            [this](const kalo::platform::MessageBoxRequest& request) {
                boxes.push_back(request.text);
                return AboutButton::closeButtonId;
            });
        if (const char* dir = std::getenv("KALO_SHOT_DIR")) shotDir = dir;
        frame();
    }
    void TearDown() override {
        kalo::platform::setMessageBoxHandler(previousBoxes);
        menu.reset();
        widgets.clear();
        bar.reset();
        if (engine) engine->waitForFilterBuilds();
        engine.reset();
        if (background) SDL_DestroyTexture(background);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Puts the event on SDL's queue and dispatches everything pending.
    void deliver(SDL_Event event) {
        if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
            event.button.windowID = SDL_GetWindowID(window);
        if (event.type == SDL_MOUSEMOTION) event.motion.windowID = SDL_GetWindowID(window);
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
            event.key.windowID = SDL_GetWindowID(window);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        SDL_Event pending;
        while (SDL_PollEvent(&pending)) {
            int command = 0;
            if (menu->handleEvent(pending, command)) {
                if (command) runMenuCommand(command, actions);
                continue;
            }
            routeMouseEvent(widgets, pending, cursor);
        }
    }
    void click(glm::ivec2 at) {
        deliver(optionbar::mouseMotion(at.x, at.y));
        deliver(optionbar::mouseButton(SDL_MOUSEBUTTONDOWN, at.x, at.y));
        deliver(optionbar::mouseButton(SDL_MOUSEBUTTONUP, at.x, at.y));
        frame();
    }
    void press(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
        deliver(optionbar::key(SDL_KEYDOWN, sym, mod));
        deliver(optionbar::key(SDL_KEYUP, sym, mod));
        frame();
    }
    void frame() {
        SDL_SetRenderDrawColor(renderer, 245, 245, 245, 255);
        SDL_RenderClear(renderer);
        if (background) SDL_RenderCopy(renderer, background, nullptr, nullptr);
        renderWidgets(widgets);
        bar->render();  // on top of every other widget
        menu->render();
        if (!pendingShot.empty()) saveShot();
        SDL_RenderPresent(renderer);
    }
    // Draws frames until every open list has finished dropping (at most three seconds).
    void settle() {
        const Uint32 start = SDL_GetTicks();
        auto dropping = [&] {
            for (auto& m : bar->menus)
                for (auto& row : m->options)
                    if (m->expanded && row->slide->active) return true;
            return false;
        };
        do frame(); while (dropping() && SDL_GetTicks() - start < 3000);
        frame();
    }
    void shot(const std::string& name) {
        if (shotDir.empty()) return;
        pendingShot = name;
        frame();
    }
    void saveShot() {
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormat(0, 1152, 648, 32, SDL_PIXELFORMAT_RGBA32);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, surface->pixels,
                                 surface->pitch) == 0) {
            std::filesystem::create_directories(shotDir);
            IMG_SavePNG(surface, (std::filesystem::path(shotDir) / pendingShot).c_str());
        }
        SDL_FreeSurface(surface);
        pendingShot.clear();
    }
    PullDownMenu& list(std::size_t i) { return *bar->menus[i]; }

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* background = nullptr;
    std::shared_ptr<FFmpegHelper> engine;
    std::shared_ptr<PopUpButton> bar;
    WidgetList widgets;
    PointerCursor cursor;
    std::shared_ptr<MenuControl> menu;
    std::shared_ptr<AboutButton> about;
    MenuCommandActions actions;
    kalo::platform::MessageBoxHandler previousBoxes;
    std::vector<std::string> boxes;
    int opens = 0, exits = 0;
    std::string shotDir, pendingShot;
};

}  // namespace

TEST_F(OptionBarScene, ListsPickRowsAndTheMenuStripReachesTheAboutBox) {
    shot("01_bar_closed_no_source.png");

    // No source: the notice, and no list.
    click(centre(list(0).rect));
    EXPECT_TRUE(bar->infoVisible);
    EXPECT_FALSE(list(0).expanded);
    shot("02_notice_without_source.png");

    ASSERT_EQ(engine->open(kalo::pathToUtf8(kalo::test::clip("count250.mp4")), renderer), 0);

    // Filter: pick the fourth row, then look at the open list with the pointer on row 5.
    click(centre(list(0).rect));
    ASSERT_TRUE(list(0).expanded);
    settle();
    click(centre(list(0).options[3]->rect));
    EXPECT_EQ(list(0).header->text, filterTable[3].second);
    EXPECT_EQ(windowsManager->filterIndex, 3);
    click(centre(list(0).rect));
    settle();
    deliver(optionbar::mouseMotion(centre(list(0).options[5]->rect).x,
                                   centre(list(0).options[5]->rect).y));
    EXPECT_TRUE(list(0).options[5]->hovered);
    shot("03_filter_list_open.png");
    click({600, 400});  // closes, keeps the choice
    EXPECT_FALSE(list(0).expanded);
    EXPECT_EQ(list(0).selectedIndex, 3);

    click(centre(list(1).rect));
    settle();
    shot("04_mode_list_open.png");
    click(centre(list(1).options[1]->rect));
    EXPECT_EQ(list(1).header->text, modeTable[1].first);
    EXPECT_EQ(windowsManager->modeIndex, 1);

    click(centre(list(2).rect));
    settle();
    shot("05_output_list_open.png");
    click(centre(list(2).options[3]->rect));
    EXPECT_EQ(list(2).header->text, kalo::wideToUtf8(outputTable[3].name));
    EXPECT_EQ(windowsManager->resolutionIndex, outputTable[3].resolutionIndex);
    shot("06_bar_after_picks.png");

    // The menu strip: File by mouse, then About by mouse and by keyboard.
    MenuStrip& strip = *menu->strip();
    click(centre(strip.titleRect(0)));
    ASSERT_TRUE(strip.isOpen());
    deliver(optionbar::mouseMotion(centre(strip.itemRect(0)).x, centre(strip.itemRect(0)).y));
    shot("07_menu_strip_file_open.png");
    press(SDLK_ESCAPE);
    EXPECT_FALSE(strip.isOpen());

    click(centre(strip.titleRect(1)));
    shot("08_menu_strip_help_open.png");
    click(centre(strip.itemRect(0)));
    EXPECT_EQ(boxes.size(), 1u);

    press(SDLK_F10);
    press(SDLK_RIGHT);
    EXPECT_EQ(strip.openMenuIndex(), 1);
    shot("09_menu_strip_help_keyboard.png");
    press(SDLK_RETURN);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], boxes[1]);
    EXPECT_EQ(opens, 0);
    EXPECT_EQ(exits, 0);

    press(SDLK_f, KMOD_LALT);
    press(SDLK_RETURN);
    EXPECT_EQ(opens, 1);
}
