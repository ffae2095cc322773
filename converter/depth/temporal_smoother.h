#pragma once
// Depth smoothed over time so that it does not flicker: an exponential average per sample
// whose rate rises where the picture changes (a moving object's depth follows it at once,
// a still background settles), restarted from the current picture at a scene cut.
#include "converter/depth/plane.h"

namespace kalo::depth {

class TemporalSmoother {
public:
    // `depth` is replaced by its smoothed value; `change` is the per-sample absolute luma
    // change since the previous picture (0..255), ignored when `restart`.
    void smooth(FloatPlane& depth, const FloatPlane& change, bool restart);

private:
    FloatPlane state_;
};

}  // namespace kalo::depth
