#include "converter/depth/scene_prior.h"

#include <algorithm>
#include <cmath>

namespace kalo::depth {
namespace {

// Fraction of the height where a distant scene's horizon usually sits.
constexpr float kHorizon = 0.4f;

float centreBump(float u, float v, float centreV, float spreadU, float spreadV) {
    const float du = (u - 0.5f) / spreadU;
    const float dv = (v - centreV) / spreadV;
    return std::exp(-0.5f * (du * du + dv * dv));
}

float groundPlane(float v) {
    if (v < kHorizon) return 0.1f * v / kHorizon;  // sky and far background
    return 0.1f + 0.9f * (v - kHorizon) / (1.0f - kHorizon);
}

float priorAt(ScenePrior kind, float u, float v) {
    switch (kind) {
    case ScenePrior::Portrait:
        // A subject filling the middle, head above centre, body down to the bottom edge.
        return 0.25f * v + 0.75f * centreBump(u, v, 0.5f, 0.24f, 0.38f);
    case ScenePrior::Landscape:
        return groundPlane(v);
    case ScenePrior::Mixed:
        break;
    }
    return 0.55f * (0.15f + 0.85f * v) + 0.45f * centreBump(u, v, 0.55f, 0.22f, 0.3f);
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
