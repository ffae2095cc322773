#pragma once
// Scene cuts: the luma histogram of consecutive pictures changes abruptly at a cut, while
// motion and fades change it gradually. Depth smoothing must not carry one shot's depth
// into the next.
#include <array>

#include "converter/depth/local_cues.h"
#include "converter/depth/plane.h"

namespace kalo::depth {

class SceneCutDetector {
public:
    // Feeds the working-resolution luma of the next picture; true when it starts a new shot
    // (the first picture always does).
    bool isCut(const FloatPlane& luma, const WorkRect& rect);

private:
    static constexpr int kBins = 32;
    std::array<float, kBins> previous_{};
    bool havePrevious_ = false;
};

}  // namespace kalo::depth
