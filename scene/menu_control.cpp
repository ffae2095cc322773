#include "scene/menu_control.h"

#include "config/json_base.h"

namespace platform = kalo::platform;

MenuControl::MenuControl(SDL_Window* window_, std::wstring menuName_, std::wstring firstItemText_,
                         SDL_Renderer* renderer)
    : window(window_), menuName(menuName_.empty() ? L"文件" : std::move(menuName_)),
      firstItemText(firstItemText_.empty() ? L"退出" : std::move(firstItemText_)) {
    if (!platform::systemDrawsMenuBar() && window) {
        drawnStrip =
            std::make_unique<MenuStrip>(window, renderer ? renderer : SDL_GetRenderer(window));
    }
    menuBar = platform::createMenu();
    addMenu(menuName);
    ok = addItem(CMD_EXIT, firstItemText, menuName) == 1;
}

MenuControl::~MenuControl() {
    if (!menuBar) return;
    platform::deleteMenuAt(menuBar, 0);
    platform::setWindowMenu(window, nullptr);
    // No window shows the bar any more: free it with the menus still on it.
    platform::destroyMenu(menuBar);
}

int MenuControl::addMenu(const std::wstring& name) {
    platform::MenuHandle popup = platform::createMenu();
    const int appended = platform::appendSubmenu(menuBar, popup, name);
    if (appended != 1) {
        platform::destroyMenu(popup);
        return appended;
    }
    const int shown = platform::setWindowMenu(window, menuBar);
    if (shown == 1) menus.emplace_back(name, popup);
    refreshStrip();
    return shown;
}

int MenuControl::addItem(int id, const std::wstring& text, const std::wstring& menu) {
    platform::MenuHandle popup = findMenu(menu);
    if (!popup) return 0;
    const int inserted = platform::insertMenuItem(popup, 0, id, text);
    if (inserted != 1) return inserted;
    refreshStrip();
    return platform::setWindowMenu(window, menuBar);
}

int MenuControl::addSeparator(const std::wstring& menu, unsigned position) {
    platform::MenuHandle popup = findMenu(menu);
    if (!popup) return 0;
    const int inserted = platform::insertMenuSeparator(popup, position);
    refreshStrip();
    return inserted;
}

platform::MenuHandle MenuControl::findMenu(const std::wstring& name) const {
    for (const auto& menu : menus)
        if (menu.first == name) return menu.second;
    return nullptr;
}

void MenuControl::setMenuKey(const std::wstring& menu, SDL_Keycode key) {
    menuKeys.emplace_back(menu, key);
    refreshStrip();
}

void MenuControl::refreshStrip() {
    if (!drawnStrip) return;
    drawnStrip->setMenus(platform::readMenuBar(menuBar));
    for (const auto& key : menuKeys)
        for (std::size_t i = 0; i < menus.size(); ++i)
            if (menus[i].first == key.first) {
                drawnStrip->setMenuKey(i, key.second);
                break;
            }
}

bool MenuControl::handleEvent(const SDL_Event& event, int& command) {
    command = 0;
    int delivered = 0;
    if (platform::menuCommandFromEvent(event, delivered)) {
        if (delivered == CMD_EXIT || delivered == CMD_OPEN || delivered == CMD_ABOUT)
            command = delivered;
        return true;
    }
    return drawnStrip ? drawnStrip->handleEvent(event, command) : false;
}

void MenuControl::render() {
    if (drawnStrip) drawnStrip->render();
}

std::shared_ptr<MenuControl> buildMainMenu(SDL_Window* window, SDL_Renderer* renderer) {
    const std::wstring helpName = menuText("help_name");
    auto menu = std::make_shared<MenuControl>(window, menuText("main_name"),
                                              menuText("main_exit"), renderer);
    if (!menu->ok) return menu;
    if (menu->addItem(CMD_OPEN, menuText("main_open"), menu->menuName) != 1) return nullptr;
    if (menu->addSeparator(menu->menuName, 1) != 1) return nullptr;
    if (menu->addMenu(helpName) != 1) return nullptr;
    if (menu->addItem(CMD_ABOUT, menuText("help_about"), helpName) != 1) return nullptr;
    menu->setMenuKey(menu->menuName, SDLK_f);
    menu->setMenuKey(helpName, SDLK_h);
    return menu;
}

bool runMenuCommand(int command, const MenuCommandActions& actions) {
    const std::function<void()>* action = nullptr;
    switch (command) {
        case CMD_EXIT: action = &actions.exit; break;
        case CMD_OPEN: action = &actions.open; break;
        case CMD_ABOUT: action = &actions.about; break;
        default: return false;
    }
    if (*action) (*action)();
    return true;
}

void pushQuitEvent() {
    SDL_Event quit;
    SDL_zero(quit);
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}
