#include "widgets/animation_factory.h"

#include <algorithm>

namespace {

float towards(float from, float to) {
    if (from < to) return 1.0f;
    if (from > to) return -1.0f;
    return 0.0f;
}

// One unit step along an axis, stopping at the target instead of passing it.
float advance(float value, float stepSize, float target) {
    const float next = value + stepSize;
    if (stepSize > 0.0f) return std::min(next, target);
    if (stepSize < 0.0f) return std::max(next, target);
    return value;
}

}  // namespace

std::shared_ptr<AnimationFactory> AnimationFactory::create(SDL_Renderer* renderer,
                                                           glm::vec2 start, glm::vec2 target,
                                                           int speed) {
    auto slide = std::make_shared<AnimationFactory>();
    slide->renderer = renderer;
    slide->start = start;
    slide->target = target;
    slide->speed = speed;
    return slide;
}

void AnimationFactory::restart() {
    current = start;
    active = true;
}

glm::vec2 AnimationFactory::step() {
    glm::vec2 p = current;
    if (!active) return p;

    // While one axis still has to grow, an axis that has to shrink waits.
    const bool bothShrink = current.x >= target.x && current.y >= target.y;
    const float stepX = (bothShrink || current.x <= target.x) ? towards(current.x, target.x) : 0.0f;
    const float stepY = (bothShrink || current.y <= target.y) ? towards(current.y, target.y) : 0.0f;
    if (stepX == 0.0f && stepY == 0.0f) {
        active = false;
        return p;
    }
    for (int i = 0; i < speed; ++i) {
        if (current == target) break;
        p = glm::vec2(advance(p.x, stepX, target.x), advance(p.y, stepY, target.y));
        current = p;
    }
    return p;
}
