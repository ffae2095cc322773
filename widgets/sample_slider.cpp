#include "widgets/sample_slider.h"

#include <SDL_image.h>

#include <cstdio>

#include "widgets/asset_preload.h"
#include "widgets/fill_rect.h"

SampleSlider::SampleSlider(SDL_Renderer* renderer_, SDL_Rect rect_)
    : SliderBase(renderer_, rect_) {
    SampleSlider::relayout();
}

SampleSlider::~SampleSlider() {
    if (knobImage) SDL_DestroyTexture(knobImage);
}

void SampleSlider::setKnobImage(const std::string& path) {
    if (knobImage) SDL_DestroyTexture(knobImage);
    knobImage = renderer && !path.empty() ? kalo::loadTexture(renderer, path) : nullptr;
    if (!knobImage) std::printf("image not loaded: %s (%s)\n", path.c_str(), IMG_GetError());
}

void SampleSlider::render() {
    const SDL_Rect played{trackRect.x, trackRect.y, knobImageRect.x - trackRect.x, trackRect.h};
    fillRect(renderer, played, fillColor);
    copyTexture(renderer, knobImage, knobImageRect);
}

void SampleSlider::drag(glm::ivec2 point, uint64_t max) {
    int knobX = 0;
    if (dragTo(point, max, knobX)) knobImageRect.x = knobX;
}

void SampleSlider::setValue(float v) {
    const int x = knobXForValue(v);
    knobImageRect.x = x;
    knobRect.x = x;
}

void SampleSlider::relayout() {
    layoutTrack();
    knobImageRect = SDL_Rect{rect.x, rect.y, knobImageSize, knobImageSize};
}
