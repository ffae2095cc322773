#pragma once
// The seek slider of the preview window: the played part in a fill colour and a picture as
// knob, whose left edge is at the value position (at value 1 it lies right of the track).
#include <SDL.h>

#include <string>

#include "widgets/slider_base.h"

class SampleSlider : public SliderBase {
public:
    static constexpr int knobImageSize = 22;

    SDL_Color fillColor{0, 0, 0, 0};
    SDL_Rect knobImageRect{0, 0, knobImageSize, knobImageSize};
    SDL_Texture* knobImage = nullptr;  // owned; nothing is drawn for it while null

    SampleSlider(SDL_Renderer* renderer, SDL_Rect rect);
    ~SampleSlider() override;

    // Loads the knob picture on the slider's renderer (replacing an earlier one); a failed
    // load leaves none.
    void setKnobImage(const std::string& path);

    void render() override;
    void drag(glm::ivec2 point, uint64_t max) override;
    void setValue(float v) override;
    void relayout() override;
};
