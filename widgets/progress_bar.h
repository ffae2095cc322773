#pragma once
// The state of a progress bar apart from its slider geometry: its pictures or colours, the
// area it is placed in, and the progress that the conversion's progress monitor writes.
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

#include "widgets/text_base.h"

class ProgressBar {
public:
    std::string barImagePath;
    std::string backgroundImagePath;
    SDL_Texture* barImage = nullptr;         // owned; null when missing
    SDL_Texture* backgroundImage = nullptr;  // owned; null when missing
    SDL_Color barColor{0, 0, 0, 0};          // drawn when barImage is missing
    SDL_Color backgroundColor{0, 0, 0, 0};   // drawn when backgroundImage is missing
    SDL_Rect designRect{0, 0, 0, 0};         // area the bar sits at the bottom of
    int32_t barHeight = 0;
    float progress = 0.0f;                   // share done of the current job
    bool finished = false;                   // progress passed 0.95
    Uint32 finishedAt = 0;                   // SDL_GetTicks() when finished was last set
    std::shared_ptr<TextBase> text;          // percentage and time left, drawn over the bar

    ProgressBar() = default;
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
};
