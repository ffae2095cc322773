#pragma once
// A point-to-point slide, advanced one frame at a time by unit steps. When one coordinate
// must grow and the other shrink, the growing one moves first, so the path is L-shaped.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>

class AnimationFactory {
public:
    SDL_Renderer* renderer = nullptr;  // kept for its users; the slide does not draw
    glm::vec2 start{0.0f, 0.0f};
    glm::vec2 target{0.0f, 0.0f};
    glm::vec2 current{0.0f, 0.0f};
    bool active = false;
    int speed = 0;                     // unit steps per frame

    static std::shared_ptr<AnimationFactory> create(SDL_Renderer* renderer, glm::vec2 start,
                                                    glm::vec2 target, int speed);

    // Back to the start, moving.
    void restart();

    // Advances one frame and yields the point to draw at (callers truncate it to pixels).
    // An axis never passes its target: it stops there for the rest of the frame.
    glm::vec2 step();
};
