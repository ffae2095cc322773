#include "scene/menu_strip.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "config/json_base.h"
#include "platform/text_encoding.h"

namespace {

const SDL_Color titleInk{51, 51, 51, 255};
const SDL_Color highlightInk{255, 255, 255, 255};
const SDL_Color openTitleFill{218, 218, 218, 255};
const SDL_Color hoverTitleFill{230, 230, 230, 255};
const SDL_Color panelFill{255, 255, 255, 255};
const SDL_Color panelBorder{191, 191, 191, 255};
const SDL_Color highlightFill{97, 131, 166, 255};
const SDL_Color separatorLine{210, 210, 210, 255};

void fill(SDL_Renderer* renderer, const SDL_Rect& rect, SDL_Color color) {
    if (rect.w <= 0 || rect.h <= 0) return;
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    SDL_RenderFillRect(renderer, &rect);
}

bool contains(const SDL_Rect& rect, int x, int y) {
    return x >= rect.x && x < rect.x + rect.w && y >= rect.y && y < rect.y + rect.h;
}

// Code points of a wide string (UTF-32 here, UTF-16 with surrogate pairs where wchar_t has
// 16 bits).
std::vector<char32_t> codePoints(const std::wstring& text) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        points.push_back(unit);
    }
    return points;
}

}  // namespace

MenuStrip::MenuStrip(SDL_Window* window_, SDL_Renderer* renderer_)
    : window(window_), renderer(renderer_) {
    const std::string fontPath = otherText("KALO_TITLEBARTEXTFONT");
    font = TTF_OpenFont(fontPath.c_str(), fontSize);
    if (!font) std::cout << "Cannot open the menu font " << fontPath << std::endl;
}

MenuStrip::~MenuStrip() {
    releaseLabels();
    if (font) TTF_CloseFont(font);
}

void MenuStrip::releaseLabels() {
    auto release = [](Label& label) {
        if (label.normal) SDL_DestroyTexture(label.normal);
        if (label.highlighted) SDL_DestroyTexture(label.highlighted);
        label = Label{};
    };
    for (Label& label : titleLabels) release(label);
    for (auto& labels : itemLabels)
        for (Label& label : labels) release(label);
    titleLabels.clear();
    itemLabels.clear();
}

MenuStrip::Label MenuStrip::makeLabel(const std::wstring& text) {
    Label label;
    if (!font || !renderer || text.empty()) return label;
    const std::string utf8 = kalo::wideToUtf8(text);
    auto render = [&](SDL_Color ink) -> SDL_Texture* {
        SDL_Surface* surface = TTF_RenderUTF8_Blended(font, utf8.c_str(), ink);
        if (!surface) return nullptr;
        label.width = surface->w;
        label.height = surface->h;
        SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
        SDL_FreeSurface(surface);
        return texture;
    };
    label.normal = render(titleInk);
    label.highlighted = render(highlightInk);
    return label;
}

void MenuStrip::setMenus(std::vector<kalo::platform::MenuInfo> newMenus) {
    close();
    releaseLabels();
    menus = std::move(newMenus);
    titles.clear();
    int x = stripLeft;
    for (const auto& menu : menus) {
        titleLabels.push_back(makeLabel(menu.name));
        const int width = titleLabels.back().width + 2 * titlePadding;
        titles.push_back({x, 0, width, stripHeight});
        x += width;
        std::vector<Label> labels;
        for (const auto& item : menu.items)
            labels.push_back(item.separator ? Label{} : makeLabel(item.text));
        itemLabels.push_back(std::move(labels));
    }
}

void MenuStrip::setMenuKey(std::size_t menu, SDL_Keycode key) { menuKeys[key] = menu; }

SDL_Rect MenuStrip::titleRect(std::size_t menu) const {
    return menu < titles.size() ? titles[menu] : SDL_Rect{0, 0, 0, 0};
}

const std::vector<kalo::platform::MenuItemInfo>& MenuStrip::openItems() const {
    static const std::vector<kalo::platform::MenuItemInfo> none;
    const std::size_t menu = openMenu >= 0 ? std::size_t(openMenu) : 0;
    return menu < menus.size() ? menus[menu].items : none;
}

SDL_Rect MenuStrip::panelRect() const {
    const std::size_t menu = openMenu >= 0 ? std::size_t(openMenu) : 0;
    if (menu >= menus.size()) return {0, 0, 0, 0};
    int width = minimumPanelWidth;
    int height = 2 * panelPadding;
    for (std::size_t i = 0; i < menus[menu].items.size(); ++i) {
        width = std::max(width, itemLabels[menu][i].width + 2 * itemPadding);
        height += menus[menu].items[i].separator ? separatorHeight : itemHeight;
    }
    return {titles[menu].x, stripHeight, width, height};
}

SDL_Rect MenuStrip::itemRect(std::size_t item) const {
    const auto& items = openItems();
    if (item >= items.size()) return {0, 0, 0, 0};
    const SDL_Rect panel = panelRect();
    int y = panel.y + panelPadding;
    for (std::size_t i = 0; i < item; ++i) y += items[i].separator ? separatorHeight : itemHeight;
    return {panel.x + 1, y, panel.w - 2, items[item].separator ? separatorHeight : itemHeight};
}

int MenuStrip::titleAt(int x, int y) const {
    for (std::size_t i = 0; i < titles.size(); ++i)
        if (contains(titles[i], x, y)) return int(i);
    return -1;
}

int MenuStrip::itemAt(int x, int y) const {
    if (!isOpen()) return -1;
    const auto& items = openItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!items[i].separator && contains(itemRect(i), x, y)) return int(i);
    return -1;
}

void MenuStrip::open(int menu, bool highlightFirst) {
    if (menu < 0 || std::size_t(menu) >= menus.size()) return;
    openMenu = menu;
    highlighted = -1;
    if (highlightFirst) moveHighlight(+1);
}

void MenuStrip::close() {
    openMenu = -1;
    highlighted = -1;
}

void MenuStrip::moveHighlight(int direction) {
    const auto& items = openItems();
    const int count = int(items.size());
    if (count == 0) return;
    int next = highlighted;
    for (int tries = 0; tries < count; ++tries) {
        next = next < 0 ? (direction > 0 ? 0 : count - 1) : (next + direction + count) % count;
        if (!items[std::size_t(next)].separator) {
            highlighted = next;
            return;
        }
    }
}

int MenuStrip::choose() {
    const auto& items = openItems();
    int command = 0;
    if (highlighted >= 0 && std::size_t(highlighted) < items.size())
        command = items[std::size_t(highlighted)].id;
    close();
    return command;
}

bool MenuStrip::ownsWindowEvent(const SDL_Event& event) const {
    if (!window) return true;
    Uint32 id = 0;
    switch (event.type) {
        case SDL_MOUSEMOTION: id = event.motion.windowID; break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: id = event.button.windowID; break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: id = event.key.windowID; break;
        case SDL_TEXTINPUT: id = event.text.windowID; break;
        case SDL_WINDOWEVENT: id = event.window.windowID; break;
        default: return false;
    }
    return id == SDL_GetWindowID(window);
}

bool MenuStrip::handleEvent(const SDL_Event& event, int& command) {
    command = 0;
    if (!ownsWindowEvent(event)) return false;
    switch (event.type) {
        case SDL_MOUSEMOTION: {
            const int x = event.motion.x, y = event.motion.y;
            hoveredTitle = titleAt(x, y);
            if (!isOpen()) return false;
            if (hoveredTitle >= 0 && hoveredTitle != openMenu) open(hoveredTitle, false);
            const int item = itemAt(x, y);
            if (item >= 0 || !contains(panelRect(), x, y)) highlighted = item;
            return true;
        }
        case SDL_MOUSEBUTTONDOWN: {
            const int x = event.button.x, y = event.button.y;
            const int title = titleAt(x, y);
            if (isOpen()) {
                // A press on the open menu's title closes it, on another title switches to
                // it, inside the panel waits for the release, anywhere else closes the menu.
                if (title == openMenu) close();
                else if (title >= 0) open(title, false);
                else if (!contains(panelRect(), x, y)) close();
                pressTaken = true;
                return true;
            }
            if (title < 0) return false;
            open(title, false);
            pressTaken = true;
            return true;
        }
        case SDL_MOUSEBUTTONUP: {
            const bool taken = pressTaken || isOpen();
            pressTaken = false;
            if (isOpen()) {
                const int item = itemAt(event.button.x, event.button.y);
                if (item >= 0) {
                    highlighted = item;
                    command = choose();
                }
            }
            return taken;
        }
        case SDL_KEYDOWN:
            return handleKey(event, command);
        case SDL_KEYUP:
            if (keysTaken.erase(event.key.keysym.scancode) > 0) return true;
            return isOpen();
        case SDL_TEXTINPUT:
            return isOpen();
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) close();
            return false;
        default:
            return false;
    }
}

bool MenuStrip::handleKey(const SDL_Event& event, int& command) {
    const SDL_Keysym key = event.key.keysym;
    const bool alt = (key.mod & KMOD_ALT) != 0;
    bool taken = true;
    if (key.sym == SDLK_F10 && !alt) {
        if (isOpen()) close();
        else open(0, true);
    } else if (alt && menuKeys.count(key.sym)) {
        open(int(menuKeys.at(key.sym)), true);
    } else if (!isOpen()) {
        taken = false;
    } else {
        const int count = int(menus.size());
        switch (key.sym) {
            case SDLK_ESCAPE: close(); break;
            case SDLK_UP: moveHighlight(-1); break;
            case SDLK_DOWN: moveHighlight(+1); break;
            case SDLK_LEFT: open((openMenu + count - 1) % count, true); break;
            case SDLK_RIGHT: open((openMenu + 1) % count, true); break;
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
            case SDLK_SPACE: command = choose(); break;
            default: break;  // a menu is modal: other keys do nothing meanwhile
        }
    }
    if (taken) keysTaken.insert(key.scancode);
    return taken;
}

void MenuStrip::render() {
    if (!renderer) return;
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const bool opened = int(i) == openMenu;
        if (opened) fill(renderer, titles[i], openTitleFill);
        else if (int(i) == hoveredTitle) fill(renderer, titles[i], hoverTitleFill);
        const Label& label = titleLabels[i];
        if (label.normal) {
            const SDL_Rect at{titles[i].x + titlePadding,
                              titles[i].y + (titles[i].h - label.height) / 2, label.width,
                              label.height};
            SDL_RenderCopy(renderer, label.normal, nullptr, &at);
        }
    }
    if (!isOpen()) return;

    const SDL_Rect panel = panelRect();
    fill(renderer, panel, panelBorder);
    fill(renderer, {panel.x + 1, panel.y + 1, panel.w - 2, panel.h - 2}, panelFill);
    const auto& items = openItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const SDL_Rect row = itemRect(i);
        if (items[i].separator) {
            fill(renderer, {row.x + 8, row.y + row.h / 2, row.w - 16, 1}, separatorLine);
            continue;
        }
        const bool lit = int(i) == highlighted;
        if (lit) fill(renderer, row, highlightFill);
        const Label& label = itemLabels[std::size_t(openMenu)][i];
        SDL_Texture* texture = lit ? label.highlighted : label.normal;
        if (texture) {
            const SDL_Rect at{row.x + itemPadding - 1, row.y + (row.h - label.height) / 2,
                              label.width, label.height};
            SDL_RenderCopy(renderer, texture, nullptr, &at);
        }
    }
}

std::vector<char32_t> MenuStrip::missingGlyphs() const {
    std::vector<char32_t> missing;
    auto check = [&](const std::wstring& text) {
        for (char32_t point : codePoints(text))
            if (!font || !TTF_GlyphIsProvided32(font, point)) missing.push_back(point);
    };
    for (const auto& menu : menus) {
        check(menu.name);
        for (const auto& item : menu.items) check(item.text);
    }
    return missing;
}
