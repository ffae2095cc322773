#include "widgets/button_base.h"

#include <utility>

#include "widgets/fill_rect.h"

bool strictlyInside(const SDL_Rect& rect, glm::ivec2 point) {
    const int dx = point.x - rect.x;
    const int dy = point.y - rect.y;
    return dx > 0 && dx < rect.w && dy > 0 && dy < rect.h;
}

ButtonBase::ButtonBase(SDL_Renderer* renderer_, glm::ivec2 size, glm::ivec2 position)
    : renderer(renderer_), rect{position.x, position.y, size.x, size.y} {}

ButtonBase::~ButtonBase() { callback = nullptr; }

void ButtonBase::render() {
    fillRect(renderer, rect, active ? activeColor : color);
}

bool ButtonBase::onPress(glm::ivec2 point) {
    if (!isInside(point)) {
        active = false;
        return false;
    }
    active = true;
    if (callback) callback();
    return true;
}

void ButtonBase::onRelease(glm::ivec2 /*point*/) { active = false; }

void ButtonBase::setColor(SDL_Color newColor) { color = newColor; }

void ButtonBase::setCallback(std::function<void()> newCallback) {
    callback = std::move(newCallback);
}

void ButtonBase::setPosition(glm::ivec2 position) {
    rect.x = position.x;
    rect.y = position.y;
}

void ButtonBase::resize(glm::ivec2 size) {
    rect.w = size.x;
    rect.h = size.y;
}

void ButtonBase::setWindowSize(glm::ivec2 size) { windowSize = size; }

bool ButtonBase::isInside(glm::ivec2 point) { return strictlyInside(rect, point); }

bool ButtonBase::isBlocking() { return blocking; }
