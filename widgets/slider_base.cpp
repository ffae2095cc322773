#include "widgets/slider_base.h"

#include <algorithm>
#include <utility>

#include "widgets/fill_rect.h"

SliderBase::SliderBase(SDL_Renderer* renderer_, SDL_Rect rect_)
    : renderer(renderer_), rect(rect_) {
    SliderBase::relayout();
}

SliderBase::~SliderBase() { valueCallback = nullptr; }

void SliderBase::render() {
    fillRect(renderer, trackRect, {128, 128, 128, 255});
    const SDL_Rect played{trackRect.x, trackRect.y, knobRect.x - trackRect.x, trackRect.h};
    fillRect(renderer, played, {0, 192, 192, 255});
    fillRect(renderer, knobRect, {0, 255, 255, 255});
}

bool SliderBase::hitTest(glm::ivec2 p) {
    const int dx = p.x - rect.x;
    const int dy = p.y - rect.y;
    hovered = knobWidth + dx > 0 && dx < rect.w && dy > 0 && dy < rect.h;
    return hovered;
}

bool SliderBase::dragTo(glm::ivec2 p, uint64_t max, int& knobX) {
    if (!hitTest(p)) return false;
    knobX = std::max(std::min(p.x, maxKnobX), trackRect.x);
    knobPos.x = knobX;
    const int span = trackRect.w - knobWidth;
    value = span > 0 ? float(knobX - trackRect.x) / float(span) : 0.0f;
    const auto reported = static_cast<uint64_t>(float(max) * value);
    if (reported != lastReported) {
        lastReported = reported;
        // An owner that forwards input before setting the callback loses the report rather
        // than the program.
        if (valueCallback) valueCallback(value);
    }
    return true;
}

void SliderBase::drag(glm::ivec2 p, uint64_t max) {
    int knobX = 0;
    if (dragTo(p, max, knobX)) knobRect.x = knobX;
}

void SliderBase::setRect(SDL_Rect r) {
    rect = r;
    relayout();
}

void SliderBase::setCallback(std::function<void(float)> callback) {
    valueCallback = std::move(callback);
}

void SliderBase::setPosition(glm::ivec2 p) {
    rect.x = p.x;
    rect.y = p.y;
    relayout();
}

int SliderBase::knobXForValue(float v) const {
    return static_cast<int>(float(trackRect.w - knobWidth) * v) + trackRect.x;
}

void SliderBase::setValue(float v) { knobRect.x = knobXForValue(v); }

void SliderBase::layoutTrack() {
    const int th = static_cast<int>(rect.h * 0.2);
    trackRect = SDL_Rect{rect.x, rect.y + (rect.h - th) / 2, rect.w, th};
    knobPos = glm::ivec2(rect.x, rect.y);
    maxKnobX = rect.x + rect.w - knobWidth;
}

void SliderBase::relayout() {
    layoutTrack();
    knobRect = SDL_Rect{rect.x, rect.y, knobWidth, rect.h};
}
