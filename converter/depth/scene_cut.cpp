#include "converter/depth/scene_cut.h"

#include <algorithm>
#include <cmath>

namespace kalo::depth {
namespace {

// Half the summed absolute difference of two normalised histograms: 0 identical, 1 disjoint.
constexpr float kCutDistance = 0.45f;

}  // namespace

bool SceneCutDetector::isCut(const FloatPlane& luma, const WorkRect& rect) {
    std::array<float, kBins> current{};
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const float* r = luma.row(y);
        for (int x = rect.left; x < rect.right; ++x) {
            const int bin = std::min(static_cast<int>(r[x]) * kBins / 256, kBins - 1);
            current[static_cast<std::size_t>(std::max(bin, 0))] += 1.0f;
        }
        count += rect.right - rect.left;
    }
    if (count > 0) {
        for (float& c : current) c /= static_cast<float>(count);
    }
    float distance = 0.0f;
    for (int i = 0; i < kBins; ++i) {
        distance += std::fabs(current[static_cast<std::size_t>(i)] - previous_[static_cast<std::size_t>(i)]);
    }
    distance *= 0.5f;
    const bool cut = !havePrevious_ || distance > kCutDistance;
    previous_ = current;
    havePrevious_ = true;
    return cut;
}

}  // namespace kalo::depth
