// The menu bar on a real window: what the builder puts in it (and its fallbacks), the drawn
// strip's mouse and keyboard paths, command routing, and where the strip sits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/json_base.h"
#include "option_bar_support.h"
#include "platform/menu_bar.h"
#include "platform/message_box.h"
#include "scene/menu_control.h"
#include "widget_test_support.h"
#include "widgets/about_button.h"

using optionbar::centre;
using optionbar::key;
using optionbar::mouseButton;
using optionbar::mouseMotion;

namespace {

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("menu", 0, 0, 1152, 648, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        ASSERT_NE(renderer, nullptr) << SDL_GetError();
        windowId = SDL_GetWindowID(window);
    }
    void TearDown() override {
        menu.reset();
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void build() {
        menu = buildMainMenu(window, renderer);
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->ok);
        ASSERT_NE(menu->strip(), nullptr);
    }
    // The command of one event, and whether the menu took it.
    bool send(const SDL_Event& event, int& command) { return menu->handleEvent(event, command); }
    int click(glm::ivec2 at) {
        int command = 0;
        EXPECT_TRUE(send(mouseButton(SDL_MOUSEBUTTONDOWN, at.x, at.y, windowId), command));
        EXPECT_EQ(command, 0);
        EXPECT_TRUE(send(mouseButton(SDL_MOUSEBUTTONUP, at.x, at.y, windowId), command));
        return command;
    }
    // Key down and up; the command of the key press. Both must be taken by the menu.
    int press(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
        int command = 0, ignored = 0;
        EXPECT_TRUE(send(key(SDL_KEYDOWN, sym, mod, windowId), command)) << SDL_GetKeyName(sym);
        EXPECT_TRUE(send(key(SDL_KEYUP, sym, mod, windowId), ignored)) << SDL_GetKeyName(sym);
        return command;
    }
    MenuStrip& strip() { return *menu->strip(); }

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    Uint32 windowId = 0;
    std::shared_ptr<MenuControl> menu;
};

struct ExpectedItem {
    int id;
    std::wstring text;
    bool separator;
};

void expectMenu(const kalo::platform::MenuInfo& menu, const std::wstring& name,
                const std::vector<ExpectedItem>& items) {
    EXPECT_EQ(menu.name, name);
    ASSERT_EQ(menu.items.size(), items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(menu.items[i].id, items[i].id) << i;
        EXPECT_EQ(menu.items[i].text, items[i].text) << i;
        EXPECT_EQ(menu.items[i].separator, items[i].separator) << i;
    }
}

}  // namespace

TEST_F(MenuBarTest, BuilderMakesFileAndHelpMenus) {
    build();
    const auto menus = kalo::platform::readMenuBar(menu->menuBar);
    ASSERT_EQ(menus.size(), 2u);
    expectMenu(menus[0], L"文件",
               {{CMD_OPEN, L"选择文件", false}, {0, L"", true}, {CMD_EXIT, L"退出", false}});
    expectMenu(menus[1], L"帮助", {{CMD_ABOUT, L"关于", false}});
    EXPECT_NE(menu->findMenu(L"帮助"), nullptr);
    EXPECT_EQ(menu->findMenu(L"帮"), nullptr);
    EXPECT_EQ(menu->addItem(1234, L"x", L"没有"), 0);
    EXPECT_EQ(strip().menuCount(), 2u);
    EXPECT_TRUE(strip().missingGlyphs().empty()) << "the UI font lacks a glyph of the menus";
}

TEST_F(MenuBarTest, WithoutMenuTextsFileAndExitKeepTheirNames) {
    auto& document = uiConfig->document;
    const auto saved = document["PARAM_MENUBAR"];
    document.erase("PARAM_MENUBAR");
    menu = buildMainMenu(window, renderer);
    document["PARAM_MENUBAR"] = saved;
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->ok);
    const auto menus = kalo::platform::readMenuBar(menu->menuBar);
    ASSERT_EQ(menus.size(), 2u);
    expectMenu(menus[0], L"文件",
               {{CMD_OPEN, L"", false}, {0, L"", true}, {CMD_EXIT, L"退出", false}});
    expectMenu(menus[1], L"", {{CMD_ABOUT, L"", false}});
}

TEST(MenuCommands, EachIdentifierRunsItsOneAction) {
    std::vector<std::string> ran;
    MenuCommandActions actions;
    actions.exit = [&] { ran.push_back("exit"); };
    actions.open = [&] { ran.push_back("open"); };
    actions.about = [&] { ran.push_back("about"); };
    struct Case {
        int command;
        bool known;
        std::vector<std::string> ran;
    } cases[] = {
        {CMD_EXIT, true, {"exit"}}, {CMD_OPEN, true, {"open"}}, {CMD_ABOUT, true, {"about"}},
        {1001, false, {}},          {0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        ran.clear();
        EXPECT_EQ(runMenuCommand(c.command, actions), c.known);
        EXPECT_EQ(ran, c.ran);
    }
    EXPECT_EQ(CMD_EXIT, 1000);
    EXPECT_EQ(CMD_OPEN, 1002);
    EXPECT_EQ(CMD_ABOUT, 1010);
}

TEST_F(MenuBarTest, MouseOpensMenusAndChoosesItems) {
    build();
    int command = 0;
    // Closed: a press away from the titles is the screen's.
    EXPECT_FALSE(send(mouseButton(SDL_MOUSEBUTTONDOWN, 600, 300, windowId), command));
    EXPECT_FALSE(send(mouseButton(SDL_MOUSEBUTTONUP, 600, 300, windowId), command));
    EXPECT_FALSE(send(mouseMotion(600, 300, windowId), command));

    EXPECT_EQ(click(centre(strip().titleRect(1))), 0);
    EXPECT_EQ(strip().openMenuIndex(), 1);
    EXPECT_TRUE(send(mouseMotion(600, 300, windowId), command));  // open: motion is ours

    // The About item, through the About box.
    std::vector<std::string> boxes;
    const auto previous = kalo::platform::setMessageBoxHandler(
        [&](const kalo::platform::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            return 1;
        });
    auto about = AboutButton::create(renderer, {0, 0}, {0, 0}, {0, 0});
    MenuCommandActions actions;
    actions.about = [&] { about->showAbout(); };
    const int chosen = click(centre(strip().itemRect(0)));
    EXPECT_EQ(chosen, CMD_ABOUT);
    EXPECT_TRUE(runMenuCommand(chosen, actions));
    kalo::platform::setMessageBoxHandler(previous);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("版本信息: 1.2.0\n", 0), 0u);
    EXPECT_FALSE(strip().isOpen());

    // File: the separator chooses nothing and keeps the menu open; Exit and Open choose.
    EXPECT_EQ(click(centre(strip().titleRect(0))), 0);
    EXPECT_EQ(click(centre(strip().itemRect(1))), 0);
    EXPECT_TRUE(strip().isOpen());
    EXPECT_EQ(click(centre(strip().itemRect(2))), CMD_EXIT);
    EXPECT_EQ(click(centre(strip().titleRect(0))), 0);
    EXPECT_EQ(click(centre(strip().itemRect(0))), CMD_OPEN);

    // Sliding over another title switches menus; a press outside closes and is taken.
    EXPECT_EQ(click(centre(strip().titleRect(0))), 0);
    EXPECT_TRUE(send(mouseMotion(centre(strip().titleRect(1)).x, 10, windowId), command));
    EXPECT_EQ(strip().openMenuIndex(), 1);
    EXPECT_EQ(click({600, 300}), 0);
    EXPECT_FALSE(strip().isOpen());
    // A press on an open menu's title closes it.
    EXPECT_EQ(click(centre(strip().titleRect(0))), 0);
    EXPECT_EQ(click(centre(strip().titleRect(0))), 0);
    EXPECT_FALSE(strip().isOpen());

    // Events of another window are not the strip's.
    EXPECT_FALSE(send(mouseButton(SDL_MOUSEBUTTONDOWN, 20, 10, windowId + 1), command));
    EXPECT_FALSE(strip().isOpen());
}

TEST_F(MenuBarTest, KeyboardOpensMovesChoosesAndEscapeStaysInTheMenu) {
    build();
    EXPECT_EQ(press(SDLK_F10), 0);
    EXPECT_EQ(strip().openMenuIndex(), 0);
    EXPECT_EQ(strip().highlightedItem(), 0);
    EXPECT_EQ(press(SDLK_DOWN), 0);
    EXPECT_EQ(strip().highlightedItem(), 2);  // past the separator
    EXPECT_EQ(press(SDLK_DOWN), 0);
    EXPECT_EQ(strip().highlightedItem(), 0);  // round again
    EXPECT_EQ(press(SDLK_UP), 0);
    EXPECT_EQ(strip().highlightedItem(), 2);
    EXPECT_EQ(press(SDLK_RETURN), CMD_EXIT);
    EXPECT_FALSE(strip().isOpen());

    EXPECT_EQ(press(SDLK_h, KMOD_LALT), 0);
    EXPECT_EQ(strip().openMenuIndex(), 1);
    EXPECT_EQ(press(SDLK_KP_ENTER), CMD_ABOUT);

    EXPECT_EQ(press(SDLK_f, KMOD_LALT), 0);
    EXPECT_EQ(strip().openMenuIndex(), 0);
    EXPECT_EQ(press(SDLK_RIGHT), 0);
    EXPECT_EQ(strip().openMenuIndex(), 1);
    EXPECT_EQ(press(SDLK_RIGHT), 0);
    EXPECT_EQ(strip().openMenuIndex(), 0);
    EXPECT_EQ(press(SDLK_LEFT), 0);
    EXPECT_EQ(strip().openMenuIndex(), 1);
    EXPECT_EQ(press(SDLK_a), 0);  // other keys do nothing while a menu is open
    EXPECT_TRUE(strip().isOpen());

    // Escape closes the menu and neither its press nor its release reaches the screen.
    EXPECT_EQ(press(SDLK_ESCAPE), 0);
    EXPECT_FALSE(strip().isOpen());
    // With the menu closed, Escape and plain letters are the screen's again.
    int command = 0;
    EXPECT_FALSE(send(key(SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE, windowId), command));
    EXPECT_FALSE(send(key(SDL_KEYUP, SDLK_ESCAPE, KMOD_NONE, windowId), command));
    EXPECT_FALSE(send(key(SDL_KEYDOWN, SDLK_f, KMOD_NONE, windowId), command));
    EXPECT_FALSE(strip().isOpen());
    // F10 again closes an open menu.
    EXPECT_EQ(press(SDLK_F10), 0);
    EXPECT_EQ(press(SDLK_F10), 0);
    EXPECT_FALSE(strip().isOpen());
}

TEST_F(MenuBarTest, StripLiesInTheFreeBandAndDrawsItsMenus) {
    build();
    // Nothing of the converter screen may lie under the closed strip: the source button, the
    // option bar's captions and menus start at y = 36, the brand text at x = 978.
    const SDL_Rect screenParts[] = {
        {37, 40, 173, 36}, {295, 36, 100, 36}, {396, 36, 120, 40}, {575, 36, 100, 36},
        {675, 36, 63, 36}, {846, 36, 90, 32},  {936, 36, 154, 36}, {978, 4, 140, 24},
    };
    for (std::size_t i = 0; i < strip().menuCount(); ++i) {
        const SDL_Rect title = strip().titleRect(i);
        EXPECT_GT(title.w, 20);
        for (const SDL_Rect& part : screenParts)
            EXPECT_FALSE(SDL_HasIntersection(&title, &part)) << "title " << i;
    }

    SDL_SetRenderDrawColor(renderer, 245, 245, 245, 255);
    SDL_RenderClear(renderer);
    press(SDLK_F10);
    menu->render();
    const SDL_Rect panel = strip().panelRect();
    const SDL_Rect lit = strip().itemRect(0);
    std::vector<Uint8> pixels(1152 * 648 * 4);
    ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(),
                                   1152 * 4), 0);
    auto at = [&](int x, int y) {
        const Uint8* p = &pixels[(std::size_t(y) * 1152 + std::size_t(x)) * 4];
        return Rgba{p[0], p[1], p[2], 255};
    };
    EXPECT_EQ(at(lit.x + 2, lit.y + 2), (Rgba{97, 131, 166, 255}));  // the highlighted item
    EXPECT_EQ(at(panel.x + panel.w - 3, strip().itemRect(2).y + 2), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(at(panel.x, panel.y + 5), (Rgba{191, 191, 191, 255}));  // the border
    // The labels are drawn: dark pixels in the title and in the last item's row.
    auto darkIn = [&](SDL_Rect r) {
        int dark = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                if (at(x, y).r < 120) ++dark;
        return dark;
    };
    EXPECT_GT(darkIn(strip().titleRect(1)), 10);
    EXPECT_GT(darkIn(strip().itemRect(2)), 10);
}
