// The native menu bar of the main window. SDL knows nothing of menus: the bar is attached to
// the window's HWND and a chosen item comes back as WM_COMMAND inside an SDL_SYSWMEVENT
// (the application enables those events at start-up).
#include "platform/menu_bar.h"

#include <windows.h>

#include <SDL_syswm.h>

namespace kalo::platform {
namespace {

HMENU asMenu(MenuHandle handle) { return static_cast<HMENU>(handle); }

HWND windowHandle(SDL_Window* window) {
    if (!window) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS)
        return nullptr;
    return info.info.win.window;
}

// BOOL results become 1 or 0, so callers can compare with 1 as with the other systems.
int result(BOOL ok) { return ok ? 1 : 0; }

}  // namespace

MenuHandle createMenu() { return CreateMenu(); }

int appendSubmenu(MenuHandle bar, MenuHandle submenu, const std::wstring& name) {
    if (!bar || !submenu) return 0;
    return result(AppendMenuW(asMenu(bar), MF_POPUP | MF_STRING,
                              reinterpret_cast<UINT_PTR>(asMenu(submenu)), name.c_str()));
}

int insertMenuItem(MenuHandle menu, unsigned position, int id, const std::wstring& text) {
    if (!menu) return 0;
    return result(InsertMenuW(asMenu(menu), position, MF_BYPOSITION | MF_STRING,
                              static_cast<UINT_PTR>(id), text.c_str()));
}

int insertMenuSeparator(MenuHandle menu, unsigned position) {
    if (!menu) return 0;
    return result(InsertMenuW(asMenu(menu), position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
}

int deleteMenuAt(MenuHandle menu, unsigned position) {
    if (!menu) return 0;
    return result(DeleteMenu(asMenu(menu), position, MF_BYPOSITION));
}

void destroyMenu(MenuHandle menu) {
    if (menu) DestroyMenu(asMenu(menu));
}

int setWindowMenu(SDL_Window* window, MenuHandle bar) {
    HWND hwnd = windowHandle(window);
    if (!hwnd) return 0;
    return result(SetMenu(hwnd, asMenu(bar)));
}

bool systemDrawsMenuBar() { return true; }

bool menuCommandFromEvent(const SDL_Event& event, int& command) {
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg) return false;
    const SDL_SysWMmsg& message = *event.syswm.msg;
    if (message.subsystem != SDL_SYSWM_WINDOWS || message.msg.win.msg != WM_COMMAND)
        return false;
    command = static_cast<int>(LOWORD(message.msg.win.wParam));
    return true;
}

std::vector<MenuInfo> readMenuBar(MenuHandle bar) {
    std::vector<MenuInfo> menus;
    if (!bar) return menus;
    auto textOf = [](HMENU menu, int position) {
        const int length = GetMenuStringW(menu, position, nullptr, 0, MF_BYPOSITION);
        if (length <= 0) return std::wstring();
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetMenuStringW(menu, position, &text[0], length + 1, MF_BYPOSITION);
        text.resize(static_cast<std::size_t>(length));
        return text;
    };
    const int count = GetMenuItemCount(asMenu(bar));
    for (int i = 0; i < count; ++i) {
        HMENU popup = GetSubMenu(asMenu(bar), i);
        if (!popup) continue;
        MenuInfo menu;
        menu.name = textOf(asMenu(bar), i);
        const int items = GetMenuItemCount(popup);
        for (int j = 0; j < items; ++j) {
            MenuItemInfo item;
            item.separator = (GetMenuState(popup, j, MF_BYPOSITION) & MF_SEPARATOR) != 0;
            if (!item.separator) {
                item.id = static_cast<int>(GetMenuItemID(popup, j));
                item.text = textOf(popup, j);
            }
            menu.items.push_back(std::move(item));
        }
        menus.push_back(std::move(menu));
    }
    return menus;
}

}  // namespace kalo::platform
