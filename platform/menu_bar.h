#pragma once
// The main window's menu bar. On Windows it is the window's native bar (menus are HMENUs and
// a chosen item comes back as WM_COMMAND through SDL's window-manager events). Elsewhere an
// SDL window has no native bar: the menus are kept as records with the same operations, and
// the application draws them itself as a strip at the top of the window.
//
// Main thread only. Results follow the Win32 calls they stand for: 1 (nonzero) on success,
// 0 on failure.
#include <SDL.h>

#include <string>
#include <vector>

namespace kalo::platform {

// A menu bar or a menu: an HMENU on Windows, one of our records elsewhere. Null is none.
using MenuHandle = void*;

// An empty menu (a bar or a drop-down menu); null on failure.
MenuHandle createMenu();
// Appends `submenu` to `bar` as a drop-down menu called `name`; the bar owns it from then on.
int appendSubmenu(MenuHandle bar, MenuHandle submenu, const std::wstring& name);
// Inserts an item before the entry at `position` (at the end when there are fewer entries).
int insertMenuItem(MenuHandle menu, unsigned position, int id, const std::wstring& text);
int insertMenuSeparator(MenuHandle menu, unsigned position);
// Removes the entry at `position`; a drop-down menu there is destroyed with it.
int deleteMenuAt(MenuHandle menu, unsigned position);
// Destroys a menu that no window shows any more, with its drop-down menus.
void destroyMenu(MenuHandle menu);
// Shows `bar` as the window's menu bar; null removes the window's bar.
int setWindowMenu(SDL_Window* window, MenuHandle bar);

// True where the window system draws the bar and delivers its commands itself (Windows);
// false where the application must draw it (see readMenuBar).
bool systemDrawsMenuBar();
// A menu command delivered by the window system: WM_COMMAND in an SDL_SYSWMEVENT gives the
// low 16 bits of its wParam. False for every other event, and always false where the
// application draws the bar.
bool menuCommandFromEvent(const SDL_Event& event, int& command);

struct MenuItemInfo {
    int id = 0;
    std::wstring text;
    bool separator = false;
};
struct MenuInfo {
    std::wstring name;
    std::vector<MenuItemInfo> items;  // top to bottom
};
// What the bar holds, left to right, for drawing it.
std::vector<MenuInfo> readMenuBar(MenuHandle bar);

}  // namespace kalo::platform
