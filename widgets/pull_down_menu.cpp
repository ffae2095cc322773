#include "widgets/pull_down_menu.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "widgets/asset_preload.h"
#include "widgets/fill_rect.h"

namespace {

int naturalWidth(SDL_Texture* texture) {
    int width = 0;
    if (texture) SDL_QueryTexture(texture, nullptr, nullptr, &width, nullptr);
    return width;
}

SDL_Texture* loadSlice(SDL_Renderer* renderer, const char* path) {
    SDL_Texture* texture = kalo::loadTexture(renderer, path);
    if (texture) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return texture;
}

void drawSlice(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect& rect, Uint8 alpha) {
    if (!texture) return;
    SDL_SetTextureAlphaMod(texture, alpha);
    copyTexture(renderer, texture, rect);
}

}  // namespace

// --- rows --------------------------------------------------------------------------------

PullDownMenu::PullDownOption::PullDownOption(SDL_Renderer* renderer_, glm::ivec2 size,
                                             glm::ivec2 menuPosition, std::string text_,
                                             int32_t index_, TTF_Font* font,
                                             OptionColors colors_)
    : ButtonBase(renderer_, size, {0, 0}), text(std::move(text_)), index(index_),
      origin(menuPosition), colors(colors_) {
    const float top = float(menuPosition.y + size.y + 15);
    slide = AnimationFactory::create(renderer, {float(menuPosition.x), top},
                                     {float(menuPosition.x), top + float(index * (size.y + 1))},
                                     slideSpeed);
    label = pureText::create(font, renderer, {0, 0, 0, 255}, text, {0, 0});
}

void PullDownMenu::PullDownOption::restartSlide() {
    slide->restart();
    slideStartedAt = SDL_GetTicks();
    slideFrames = 0;
}

void PullDownMenu::PullDownOption::render() {
    const Uint32 due = (SDL_GetTicks() - slideStartedAt) * framesPerSecond / 1000;
    while (slideFrames < due && slide->active) {
        slide->step();
        ++slideFrames;
    }
    rect.x = static_cast<int>(slide->current.x);
    rect.y = static_cast<int>(slide->current.y);

    fillRect(renderer, rect, hovered ? colors.hover : selected ? colors.selected : colors.normal);
    label->setPosition({rect.x, rect.y});
    label->draw();
}

// --- menu --------------------------------------------------------------------------------

PullDownMenu::PullDownMenu(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position,
                           glm::ivec2 optionSize_, TTF_Font* font_)
    : ButtonBase(renderer_, size, position), font(font_), optionSize(optionSize_) {
    left = loadSlice(renderer, leftImage);
    middle = loadSlice(renderer, middleImage);
    right = loadSlice(renderer, rightImage);
    if (!left || !middle || !right) std::cout << "Error when load button texture" << std::endl;
    header = pureText::create(font, renderer, {0, 0, 0, 255}, "", {position.x + 5, position.y + 2});
    layoutSlices();
}

PullDownMenu::~PullDownMenu() {
    for (SDL_Texture* slice : {left, middle, right})
        if (slice) SDL_DestroyTexture(slice);
}

std::shared_ptr<PullDownMenu> PullDownMenu::create(SDL_Renderer* renderer, glm::ivec2 size,
                                                   glm::ivec2 position, glm::ivec2 optionSize,
                                                   TTF_Font* font) {
    return std::shared_ptr<PullDownMenu>(
        new PullDownMenu(renderer, size, position, optionSize, font));
}

void PullDownMenu::layoutSlices() {
    const int leftWidth = naturalWidth(left);
    const int middleWidth = naturalWidth(middle);
    const int rightWidth = naturalWidth(right);
    rect.w = std::max(rect.w, leftWidth + middleWidth + rightWidth);
    leftRect = {rect.x, rect.y, leftWidth, rect.h};
    middleRect = {rect.x + leftWidth, rect.y, rect.w - leftWidth - rightWidth, rect.h};
    rightRect = {rect.x + rect.w - rightWidth, rect.y, rightWidth, rect.h};
}

void PullDownMenu::addOption(const std::string& text) {
    options.push_back(std::make_shared<PullDownOption>(renderer, optionSize,
                                                       glm::ivec2{rect.x, rect.y}, text,
                                                       static_cast<int32_t>(options.size()),
                                                       font, optionColors));
}

void PullDownMenu::showSelection(uint8_t index) {
    if (index >= options.size()) return;
    for (auto& option : options) option->selected = false;
    selectedIndex = index;
    options[index]->selected = true;
    header->setText(options[index]->text);
}

void PullDownMenu::render() {
    // Only a closed header fades: an open list keeps it solid above the rows.
    const Uint8 alpha = hovered && !expanded ? hoverAlpha : 255;
    drawSlice(renderer, left, leftRect, alpha);
    drawSlice(renderer, middle, middleRect, alpha);
    drawSlice(renderer, right, rightRect, alpha);
    header->draw();
    if (!expanded) return;
    for (auto& option : options) option->render();
}

bool PullDownMenu::onPress(glm::ivec2 point) {
    const bool hit = strictlyInside(rect, point);
    active = hit;
    if (!enabled) {
        // The source went away while the list was open: close it rather than leave a list
        // that no press can close and that blocks the hover walk for good.
        expanded = false;
        blocking = false;
        return hit;
    }
    if (expanded) {
        for (std::size_t i = 0; i < options.size(); ++i) {
            options[i]->selected = false;
            if (options[i]->onPress(point)) {
                selectedIndex = static_cast<uint8_t>(i);
                if (onSelect) onSelect(static_cast<unsigned char>(i));
            }
        }
        if (selectedIndex < options.size()) {
            options[selectedIndex]->selected = true;
            header->setText(options[selectedIndex]->text);
        }
        expanded = false;
        blocking = false;
        return true;
    }
    if (hit) {
        expanded = true;
        blocking = true;
        for (auto& option : options) option->restartSlide();
        return true;
    }
    return false;
}

void PullDownMenu::setPosition(glm::ivec2 position) {
    ButtonBase::setPosition(position);
    layoutSlices();
}

void PullDownMenu::resize(glm::ivec2 size) {
    ButtonBase::resize(size);
    layoutSlices();
}

bool PullDownMenu::isInside(glm::ivec2 point) {
    hovered = !expanded && strictlyInside(rect, point);
    if (!expanded) active = hovered;
    for (auto& option : options) option->hovered = option->isInside(point);
    blocking = expanded;
    return false;
}
