// What a Windows user meets on the main window that only Win32 provides: the native menu
// bar (HMENUs shown on the SDL window's HWND) and the colour-keyed window shape.
#include <windows.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <gtest/gtest.h>

#include "platform/menu_bar.h"
#include "platform/window_shape.h"

namespace {

namespace platform = kalo::platform;

class NativeWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("kalo test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 320, 200,
                                  SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(window, &info)) << SDL_GetError();
        ASSERT_EQ(info.subsystem, SDL_SYSWM_WINDOWS);
        hwnd = info.info.win.window;
    }
    void TearDown() override {
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Window* window = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(NativeWindow, MenuBarIsTheWindowsOwnAndReadsBackAsBuilt) {
    ASSERT_TRUE(platform::systemDrawsMenuBar());
    platform::MenuHandle bar = platform::createMenu();
    platform::MenuHandle file = platform::createMenu();
    platform::MenuHandle help = platform::createMenu();
    ASSERT_TRUE(bar && file && help);
    EXPECT_EQ(platform::insertMenuItem(file, 0, 101, L"\u9009\u62e9\u6587\u4ef6"), 1);  // "选择文件"
    EXPECT_EQ(platform::insertMenuItem(file, 5, 103, L"Exit"), 1);  // past the end: appended
    EXPECT_EQ(platform::insertMenuSeparator(file, 1), 1);
    EXPECT_EQ(platform::insertMenuItem(help, 0, 201, L"About"), 1);
    EXPECT_EQ(platform::appendSubmenu(bar, file, L"\u6587\u4ef6"), 1);  // "文件"
    EXPECT_EQ(platform::appendSubmenu(bar, help, L"Help"), 1);
    EXPECT_EQ(platform::appendSubmenu(nullptr, help, L"x"), 0);

    std::vector<platform::MenuInfo> menus = platform::readMenuBar(bar);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].name, L"\u6587\u4ef6");
    ASSERT_EQ(menus[0].items.size(), 3u);
    EXPECT_EQ(menus[0].items[0].id, 101);
    EXPECT_EQ(menus[0].items[0].text, L"\u9009\u62e9\u6587\u4ef6");
    EXPECT_TRUE(menus[0].items[1].separator);
    EXPECT_EQ(menus[0].items[2].id, 103);
    EXPECT_EQ(menus[1].items.at(0).text, L"About");

    EXPECT_EQ(platform::setWindowMenu(window, bar), 1);
    EXPECT_EQ(GetMenu(hwnd), static_cast<HMENU>(bar));
    EXPECT_EQ(platform::deleteMenuAt(bar, 1), 1);  // Help, destroyed with it
    EXPECT_EQ(platform::readMenuBar(bar).size(), 1u);
    EXPECT_EQ(platform::setWindowMenu(window, nullptr), 1);
    EXPECT_EQ(GetMenu(hwnd), nullptr);
    platform::destroyMenu(bar);
}

TEST_F(NativeWindow, AMenuCommandArrivesAsTheItemsId) {
    SDL_SysWMmsg message{};
    SDL_VERSION(&message.version);
    message.subsystem = SDL_SYSWM_WINDOWS;
    message.msg.win.hwnd = hwnd;
    message.msg.win.msg = WM_COMMAND;
    message.msg.win.wParam = MAKEWPARAM(101, 0);
    SDL_Event event{};
    event.type = SDL_SYSWMEVENT;
    event.syswm.msg = &message;
    int command = 0;
    EXPECT_TRUE(platform::menuCommandFromEvent(event, command));
    EXPECT_EQ(command, 101);
    message.msg.win.msg = WM_PAINT;
    EXPECT_FALSE(platform::menuCommandFromEvent(event, command));
    event.type = SDL_MOUSEBUTTONDOWN;
    EXPECT_FALSE(platform::menuCommandFromEvent(event, command));
}

TEST_F(NativeWindow, EachFrameStartsInTheKeyColourWhichTheWindowMakesTransparent) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    platform::beginShapedFrame(window, renderer);
    EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(255, 0, 255));
    EXPECT_TRUE(flags & LWA_COLORKEY);

    Uint8 pixel[4] = {};
    SDL_Rect corner{0, 0, 1, 1};
    ASSERT_EQ(SDL_RenderReadPixels(renderer, &corner, SDL_PIXELFORMAT_RGBA32, pixel, 4), 0) << SDL_GetError();
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[2], 255);
    SDL_DestroyRenderer(renderer);
}

}  // namespace
