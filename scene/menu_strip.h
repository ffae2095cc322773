#pragma once
// The menu bar drawn by the application where the window system gives an SDL window none:
// a strip of menu titles in the free band at the top left of the main window, each opening a
// panel of items below it. It works with the mouse (a press on a title opens its menu, a
// release on an item chooses it) and the keyboard (F10 or Alt + a menu's key opens a menu,
// the arrows move, Enter chooses, Escape closes). While a menu is open the strip takes every
// mouse and key event of its window, as a native menu would.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/menu_bar.h"

class MenuStrip {
public:
    // Geometry, in window pixels at any window size: the band above the option bar is free
    // from the left edge to the brand text at the top right.
    static constexpr int stripHeight = 28;
    static constexpr int stripLeft = 4;
    static constexpr int titlePadding = 10;
    static constexpr int itemHeight = 28;
    static constexpr int separatorHeight = 9;
    static constexpr int panelPadding = 4;
    static constexpr int itemPadding = 16;
    static constexpr int minimumPanelWidth = 120;
    static constexpr int fontSize = 14;

    // Opens the UI font (KALO_TITLEBARTEXTFONT); without it the strip still works, unlabelled.
    MenuStrip(SDL_Window* window, SDL_Renderer* renderer);
    ~MenuStrip();
    MenuStrip(const MenuStrip&) = delete;
    MenuStrip& operator=(const MenuStrip&) = delete;

    // What to show; closes an open menu and re-renders every text.
    void setMenus(std::vector<kalo::platform::MenuInfo> menus);
    // Alt + `key` opens menu `menu`.
    void setMenuKey(std::size_t menu, SDL_Keycode key);

    // True when the strip took the event; `command` is the id of an item chosen by it, else 0.
    bool handleEvent(const SDL_Event& event, int& command);
    void render();

    bool isOpen() const { return openMenu >= 0; }
    int openMenuIndex() const { return openMenu; }
    int highlightedItem() const { return highlighted; }
    std::size_t menuCount() const { return menus.size(); }
    SDL_Rect titleRect(std::size_t menu) const;
    // Of the open menu (or of menu 0 while none is open).
    SDL_Rect panelRect() const;
    SDL_Rect itemRect(std::size_t item) const;
    // Characters of the menus' texts that the font cannot draw.
    std::vector<char32_t> missingGlyphs() const;

private:
    struct Label {
        SDL_Texture* normal = nullptr;
        SDL_Texture* highlighted = nullptr;
        int width = 0;
        int height = 0;
    };

    bool ownsWindowEvent(const SDL_Event& event) const;
    bool handleKey(const SDL_Event& event, int& command);
    void open(int menu, bool highlightFirst);
    void close();
    void moveHighlight(int direction);
    int titleAt(int x, int y) const;
    int itemAt(int x, int y) const;
    // Chooses the highlighted item: its id, and the menu closes.
    int choose();
    void releaseLabels();
    Label makeLabel(const std::wstring& text);
    const std::vector<kalo::platform::MenuItemInfo>& openItems() const;

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    TTF_Font* font = nullptr;  // owned
    std::vector<kalo::platform::MenuInfo> menus;
    std::map<SDL_Keycode, std::size_t> menuKeys;
    std::vector<Label> titleLabels;
    std::vector<std::vector<Label>> itemLabels;
    std::vector<SDL_Rect> titles;
    int openMenu = -1;
    int highlighted = -1;
    int hoveredTitle = -1;
    bool pressTaken = false;           // a mouse press went to the strip: so does its release
    std::set<SDL_Scancode> keysTaken;  // key presses taken: so are their releases
};
