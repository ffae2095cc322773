#include "screen/console_panel.h"

#include "platform/console_screen.h"
#include "platform/text_encoding.h"

namespace {

constexpr SDL_Color boxColour{32, 32, 32, 224};
constexpr SDL_Color textColour{230, 230, 230, 255};

std::vector<std::string> newestConsoleRows(std::size_t count) {
    const std::uint64_t cursor = kalo::platform::consoleCursorRow();
    const std::uint64_t first = cursor + 1 > count ? cursor + 1 - count : 0;
    std::vector<std::string> rows;
    for (const std::wstring& row : kalo::platform::consoleRowsFrom(first, count)) {
        try {
            rows.push_back(kalo::wideToUtf8(row));
        } catch (const std::exception&) {
            rows.push_back("?");
        }
    }
    return rows;
}

}  // namespace

ConsolePanel::ConsolePanel(SDL_Renderer* panelRenderer, TTF_Font* textFont, SDL_Rect area)
    : rect(area), renderer(panelRenderer), font(textFont) {}

void ConsolePanel::render() {
    if (!shown) return;
    std::vector<std::string> rows = newestConsoleRows(maxRows);
    if (rows != shownRows) {
        shownRows = std::move(rows);
        lines.clear();
        const int lineHeight = font ? TTF_FontLineSkip(font) : 14;
        int y = rect.y + padding;
        for (const std::string& row : shownRows) {
            lines.push_back(TextBase::create(font, renderer, textColour, row.empty() ? " " : row,
                                             {rect.x + padding, y}));
            y += lineHeight;
        }
    }
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, boxColour.r, boxColour.g, boxColour.b, boxColour.a);
    SDL_RenderFillRect(renderer, &rect);
    // Long rows are cut at the panel's right edge instead of running over the screen.
    SDL_Rect clip{rect.x, rect.y, rect.w - padding, rect.h};
    SDL_RenderSetClipRect(renderer, &clip);
    for (const auto& line : lines) line->draw();
    SDL_RenderSetClipRect(renderer, nullptr);
}
