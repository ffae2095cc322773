#pragma once
// Where the console is no window of its own, the screen shows what it would have shown: a
// small panel with the converter's last console lines, toggled by the user (left Ctrl+1).
#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>
#include <string>
#include <vector>

#include "widgets/text_base.h"

class ConsolePanel {
public:
    static constexpr std::size_t maxRows = 8;
    static constexpr int padding = 6;

    bool shown = false;
    SDL_Rect rect{0, 0, 0, 0};

    // `font` is not owned.
    ConsolePanel(SDL_Renderer* renderer, TTF_Font* font, SDL_Rect rect);

    void toggle() { shown = !shown; }
    // Reads the console's newest rows (textures are rebuilt only when they changed) and
    // draws them over a dark box; nothing while hidden.
    void render();
    // The rows drawn last, oldest first (UTF-8).
    const std::vector<std::string>& rows() const { return shownRows; }

private:
    SDL_Renderer* renderer;
    TTF_Font* font;
    std::vector<std::string> shownRows;
    std::vector<std::shared_ptr<TextBase>> lines;
};
