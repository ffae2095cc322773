#pragma once
// The conversion progress bar of the converter screen: a background and a done part, each
// from an image or, when the image is missing, a colour, with the percentage and time-left
// text over it. The progress itself is computed by the conversion's progress monitor,
// which writes `progress`, `finished`, `finishedAt`, `knobRect.x` and the text.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <string>

#include "widgets/progress_bar.h"
#include "widgets/slider_base.h"

class FinalProgressBar : public ProgressBar, public SliderBase {
public:
    // The x at which the percentage text is placed, in window pixels of the design layout.
    static constexpr int textX = 1048;

    FinalProgressBar(SDL_Renderer* renderer, SDL_Rect rect);

    // Stores both paths and loads both images on the renderer; a failed load leaves the
    // image null, and the matching colour is drawn instead.
    void setImages(const std::string& barPath, const std::string& backgroundPath);

    // Background over `rect`, then the done part {x, y, knob x - x, h}, then the text.
    void render() override;

    // The point is not used: the bar takes the bottom `barHeight` rows of `designRect`, the
    // text moves to {textX, rect.y}, and the knob goes back to the start.
    void setPosition(glm::ivec2 unused) override;

    // The rectangle of the done part for the current knob position.
    SDL_Rect doneRect() const;
};
