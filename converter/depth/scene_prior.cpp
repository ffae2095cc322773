#include "converter/depth/scene_prior.h"

#include <algorithm>
#include <cmath>

namespace kalo::depth {
namespace {

// Fraction of the height where a distant scene's horizon usually sits.
constexpr float kHorizon = 0.4f;

// A subject standing in the middle: a column of nearness across the centre that starts at
// `top` (its head) and reaches down to the bottom edge, so depth never falls towards the
// bottom of the picture.
float centreSubject(float u, float v, float top, float spread) {
    const float du = (u - 0.5f) / spread;
    const float across = std::exp(-0.5f * du * du);
    const float down = std::clamp((v - top) / 0.25f, 0.0f, 1.0f);
    return across * down * down * (3.0f - 2.0f * down);  // smooth step
}

float groundPlane(float v) {
    if (v < kHorizon) return 0.1f * v / kHorizon;  // sky and far background
    return 0.1f + 0.9f * (v - kHorizon) / (1.0f - kHorizon);
}

float priorAt(ScenePrior kind, float u, float v) {
    switch (kind) {
    case ScenePrior::Portrait:
        // Close-up: the subject fills the middle from above the centre downwards.
        return 0.3f * v + 0.7f * centreSubject(u, v, 0.05f, 0.26f);
    case ScenePrior::Landscape:
        return groundPlane(v);
    case ScenePrior::Mixed:
        break;
    }
    return 0.6f * (0.1f + 0.9f * v) + 0.4f * centreSubject(u, v, 0.25f, 0.22f);
}

}  // namespace

void buildScenePrior(ScenePrior kind, int left, int top, int right, int bottom, FloatPlane& prior) {
    const float width = static_cast<float>(std::max(right - left, 1));
    const float height = static_cast<float>(std::max(bottom - top, 1));
    for (int y = 0; y < prior.height; ++y) {
        float* row = prior.row(y);
        const bool inside = y >= top && y < bottom;
        const float v = (static_cast<float>(y - top) + 0.5f) / height;
        for (int x = 0; x < prior.width; ++x) {
            const float u = (static_cast<float>(x - left) + 0.5f) / width;
            row[x] = inside && x >= left && x < right ? priorAt(kind, u, v) : 0.0f;
        }
    }
}

}  // namespace kalo::depth
