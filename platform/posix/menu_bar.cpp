// No native menu bar for SDL windows here: menus are records that the application's drawn
// strip reads back. Handles are checked against the records alive, so a stale or foreign
// handle fails like a bad HMENU instead of being dereferenced.
#include "platform/menu_bar.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace kalo::platform {
namespace {

struct MenuRecord;

struct MenuEntry {
    int id = 0;
    std::wstring text;
    bool separator = false;
    MenuRecord* submenu = nullptr;  // owned by the entry's menu
};

struct MenuRecord {
    std::vector<MenuEntry> entries;
};

std::set<MenuRecord*>& liveMenus() {
    static std::set<MenuRecord*> menus;
    return menus;
}

std::map<SDL_Window*, MenuRecord*>& windowBars() {
    static std::map<SDL_Window*, MenuRecord*> bars;
    return bars;
}

MenuRecord* recordOf(MenuHandle handle) {
    auto* record = static_cast<MenuRecord*>(handle);
    return liveMenus().count(record) ? record : nullptr;
}

void destroyRecord(MenuRecord* record) {
    for (MenuEntry& entry : record->entries)
        if (entry.submenu) destroyRecord(entry.submenu);
    liveMenus().erase(record);
    for (auto& bar : windowBars())
        if (bar.second == record) bar.second = nullptr;
    delete record;
}

int insertEntry(MenuHandle menu, unsigned position, MenuEntry entry) {
    MenuRecord* record = recordOf(menu);
    if (!record) return 0;
    const std::size_t at = std::min<std::size_t>(position, record->entries.size());
    record->entries.insert(record->entries.begin() + static_cast<std::ptrdiff_t>(at),
                           std::move(entry));
    return 1;
}

}  // namespace

MenuHandle createMenu() {
    auto* record = new MenuRecord();
    liveMenus().insert(record);
    return record;
}

int appendSubmenu(MenuHandle bar, MenuHandle submenu, const std::wstring& name) {
    MenuRecord* barRecord = recordOf(bar);
    MenuRecord* submenuRecord = recordOf(submenu);
    if (!barRecord || !submenuRecord || barRecord == submenuRecord) return 0;
    MenuEntry entry;
    entry.text = name;
    entry.submenu = submenuRecord;
    barRecord->entries.push_back(std::move(entry));
    return 1;
}

int insertMenuItem(MenuHandle menu, unsigned position, int id, const std::wstring& text) {
    MenuEntry entry;
    entry.id = id;
    entry.text = text;
    return insertEntry(menu, position, std::move(entry));
}

int insertMenuSeparator(MenuHandle menu, unsigned position) {
    MenuEntry entry;
    entry.separator = true;
    return insertEntry(menu, position, std::move(entry));
}

int deleteMenuAt(MenuHandle menu, unsigned position) {
    MenuRecord* record = recordOf(menu);
    if (!record || position >= record->entries.size()) return 0;
    MenuRecord* submenu = record->entries[position].submenu;
    record->entries.erase(record->entries.begin() + position);
    if (submenu) destroyRecord(submenu);
    return 1;
}

void destroyMenu(MenuHandle menu) {
    if (MenuRecord* record = recordOf(menu)) destroyRecord(record);
}

int setWindowMenu(SDL_Window* window, MenuHandle bar) {
    if (!window) return 0;
    if (!bar) {
        windowBars().erase(window);
        return 1;
    }
    MenuRecord* record = recordOf(bar);
    if (!record) return 0;
    windowBars()[window] = record;
    return 1;
}

bool systemDrawsMenuBar() { return false; }

bool menuCommandFromEvent(const SDL_Event& /*event*/, int& /*command*/) { return false; }

std::vector<MenuInfo> readMenuBar(MenuHandle bar) {
    std::vector<MenuInfo> menus;
    const MenuRecord* record = recordOf(bar);
    if (!record) return menus;
    for (const MenuEntry& entry : record->entries) {
        if (!entry.submenu) continue;
        MenuInfo menu;
        menu.name = entry.text;
        for (const MenuEntry& item : entry.submenu->entries) {
            if (item.submenu) continue;  // nested menus are not used by the program
            menu.items.push_back({item.id, item.text, item.separator});
        }
        menus.push_back(std::move(menu));
    }
    return menus;
}

}  // namespace kalo::platform
