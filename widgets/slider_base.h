#pragma once
// A horizontal slider: a rectangle, a thin track inside it, a knob whose left edge marks the
// value (0..1) and a callback told about values changed by dragging. Not a ButtonBase
// widget: owners call these operations directly.
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <glm/vec2.hpp>

class SliderBase {
public:
    SDL_Renderer* renderer = nullptr;
    SDL_Rect rect{0, 0, 0, 0};
    SDL_Rect trackRect{0, 0, 0, 0};  // {x, y + (h - th) / 2, w, th}, th = int(h * 0.2)
    SDL_Rect knobRect{0, 0, 0, 0};   // its x is the value position
    int32_t knobWidth = 0;           // room kept for the knob at the right end
    int32_t maxKnobX = 0;            // x + w - knobWidth
    glm::ivec2 knobPos{0, 0};        // last knob position set by a drag
    float value = 0.0f;
    bool hovered = false;            // result of the last hitTest
    std::function<void(float)> valueCallback;
    uint64_t lastReported = 0;       // last int(max * value) reported

    SliderBase(SDL_Renderer* renderer, SDL_Rect rect);
    virtual ~SliderBase();
    SliderBase(const SliderBase&) = delete;
    SliderBase& operator=(const SliderBase&) = delete;

    virtual void render();
    // Inside when knobWidth + p.x - x > 0, p.x - x < w and 0 < p.y - y < h.
    virtual bool hitTest(glm::ivec2 point);
    // Moves the knob to the pointer (kept within the track) when the pointer is inside, and
    // reports the value when int(max * value) changed.
    virtual void drag(glm::ivec2 point, uint64_t max);
    virtual void setRect(SDL_Rect r);
    virtual void setCallback(std::function<void(float)> callback);
    virtual void setPosition(glm::ivec2 point);
    // Puts the knob at the value position, truncated to a whole pixel.
    virtual void setValue(float v);
    // Track and knob from `rect`; the knob goes back to the left end.
    virtual void relayout();

protected:
    // The drag computation shared by the slider kinds: the new knob x, the value and the
    // report; returns false (and does nothing) when the pointer is outside.
    bool dragTo(glm::ivec2 point, uint64_t max, int& knobX);
    void layoutTrack();
    int knobXForValue(float v) const;
};
