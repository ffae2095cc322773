#include "converter/depth/temporal_smoother.h"

#include <algorithm>

namespace kalo::depth {
namespace {

// Weight of the new picture where nothing changed, and how fast it grows with change.
constexpr float kStillRate = 0.2f;
constexpr float kRatePerLumaStep = 1.0f / 24.0f;

}  // namespace

void TemporalSmoother::smooth(FloatPlane& depth, const FloatPlane& change, bool restart) {
    if (restart || state_.width != depth.width || state_.height != depth.height ||
        change.width != depth.width || change.height != depth.height) {
        state_ = depth;
        return;
    }
    const std::size_t n = depth.values.size();
    float* d = depth.values.data();
    float* s = state_.values.data();
    const float* c = change.values.data();
    for (std::size_t i = 0; i < n; ++i) {
        const float rate = std::min(kStillRate + c[i] * kRatePerLumaStep, 1.0f);
        s[i] += rate * (d[i] - s[i]);
        d[i] = s[i];
    }
}

}  // namespace kalo::depth
