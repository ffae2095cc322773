#pragma once
// The base of every clickable or drawable rectangle of the screens. Owners hold widgets
// through shared pointers and drive them through the ten virtual operations below, on the
// main thread only; their order is part of the interface every widget shares.
#include <SDL.h>

#include <functional>
#include <glm/vec2.hpp>

class ButtonBase {
public:
    SDL_Renderer* renderer = nullptr;  // not owned
    std::function<void()> callback;    // fired by a press inside; empty until set
    bool active = false;               // from a press inside until the next release or miss
    SDL_Rect rect{0, 0, 0, 0};         // hit area and default drawing area, window pixels
    glm::ivec2 windowSize{0, 0};       // last window size handed in by the owner
    bool blocking = false;             // while true, hover walks stop here
    SDL_Color color{255, 255, 255, 255};
    SDL_Color activeColor{128, 128, 128, 255};

    ButtonBase(SDL_Renderer* renderer, glm::ivec2 size, glm::ivec2 position);
    virtual ~ButtonBase();
    ButtonBase(const ButtonBase&) = delete;
    ButtonBase& operator=(const ButtonBase&) = delete;

    // 0: fills `rect` with `activeColor` while active, else with `color`.
    virtual void render();
    // 1: a press inside sets `active`, fires the callback (if any) and returns true; a press
    // outside clears `active` and returns false.
    virtual bool onPress(glm::ivec2 point);
    // 2: clears `active` wherever the release happened.
    virtual void onRelease(glm::ivec2 point);
    // 3
    virtual void setColor(SDL_Color newColor);
    // 4: the previous callback target is released.
    virtual void setCallback(std::function<void()> newCallback);
    // 5
    virtual void setPosition(glm::ivec2 position);
    // 6: sets the size; widgets that grow with the window are handed the window size here.
    virtual void resize(glm::ivec2 size);
    // 7
    virtual void setWindowSize(glm::ivec2 size);
    // 8: strict containment: a point on any edge is outside, an empty rectangle holds none.
    virtual bool isInside(glm::ivec2 point);
    // 9
    virtual bool isBlocking();
};

// The strict containment test shared by widgets with their own hit area.
bool strictlyInside(const SDL_Rect& rect, glm::ivec2 point);
