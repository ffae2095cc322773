#pragma once
// The main window's menu bar: File ("选择文件", a separator, "退出") and Help ("关于"). On
// Windows it is the window's native bar; elsewhere the application draws it as a strip in
// the free band at the top of the window (scene/menu_strip.h). Either way a chosen item
// reaches the converter screen as one command identifier through handleEvent, and the
// screen runs one function per identifier (runMenuCommand).
#include <SDL.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/menu_bar.h"
#include "scene/menu_strip.h"

enum MenuCommand : int {
    CMD_EXIT = 1000,
    CMD_OPEN = 1002,
    CMD_ABOUT = 1010,
};

class MenuControl {
public:
    bool ok = false;              // the constructor could insert the first item
    SDL_Window* window = nullptr;  // the bar's window (its native handle stays in platform/)
    std::wstring menuName;        // the first menu; "文件" when given an empty name
    std::wstring firstItemText;   // its first item; "退出" when given an empty text
    kalo::platform::MenuHandle menuBar = nullptr;
    std::vector<std::pair<std::wstring, kalo::platform::MenuHandle>> menus;  // creation order

    // Builds the bar with one menu holding one item, CMD_EXIT. `renderer` draws the strip
    // where the application draws the bar (the window's renderer when null).
    MenuControl(SDL_Window* window, std::wstring menuName, std::wstring firstItemText,
                SDL_Renderer* renderer = nullptr);
    // Removes the bar from the window.
    ~MenuControl();
    MenuControl(const MenuControl&) = delete;
    MenuControl& operator=(const MenuControl&) = delete;

    // 1 on success, else the failing system result.
    int addMenu(const std::wstring& name);
    // Puts the item at the top of the named menu. 1 on success, 0 when no menu has that
    // name, else the failing system result.
    int addItem(int id, const std::wstring& text, const std::wstring& menu);
    // A separator before the entry at `position` of the named menu; results as addItem.
    int addSeparator(const std::wstring& menu, unsigned position);
    // The first menu with exactly that name, or null.
    kalo::platform::MenuHandle findMenu(const std::wstring& name) const;
    // Alt + `key` opens the named menu of the drawn strip (the native bar has its own keys).
    void setMenuKey(const std::wstring& menu, SDL_Keycode key);

    // True when the menu took the event (the screen must not act on it further). `command`
    // is the identifier of a chosen item (WM_COMMAND on Windows, the strip elsewhere), else 0.
    bool handleEvent(const SDL_Event& event, int& command);
    // Draws the strip; nothing where the window system draws the bar.
    void render();

    // The drawn strip; null where the window system draws the bar.
    MenuStrip* strip() const { return drawnStrip.get(); }

private:
    void refreshStrip();

    std::unique_ptr<MenuStrip> drawnStrip;
    std::vector<std::pair<std::wstring, SDL_Keycode>> menuKeys;
};

// The whole bar of the converter screen, texts from "PARAM_MENUBAR": File = "选择文件",
// separator, "退出"; Help = "关于". Null, or a control that is not `ok`, when a step failed:
// the screen then stays not ready.
std::shared_ptr<MenuControl> buildMainMenu(SDL_Window* window, SDL_Renderer* renderer);

// What the screen does for each command, whatever delivered it.
struct MenuCommandActions {
    std::function<void()> exit;   // CMD_EXIT
    std::function<void()> open;   // CMD_OPEN
    std::function<void()> about;  // CMD_ABOUT
};
// Runs the action of `command`; false (and nothing runs) for any other identifier.
bool runMenuCommand(int command, const MenuCommandActions& actions);

// The exit command's action: asks the main loop to end as the window's close button does
// (the screen still refuses while a conversion runs).
void pushQuitEvent();
