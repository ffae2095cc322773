#pragma once
// Size changes of planes: the 2x2 halving of the full-resolution luma, block means down to
// the estimator's working size, and separable linear interpolation back up.
#include <cstdint>
#include <vector>

#include "converter/depth/depth_stage.h"
#include "converter/depth/plane.h"

namespace kalo::depth {

// out (ceil(w/2) x ceil(h/2)) = rounded mean of each 2x2 block; the last odd row or
// column repeats itself.
void halvePlane(const PlaneView& in, BytePlane& out);

// out (ceil(w/factor) x ceil(h/factor)) = mean of each factor x factor block (blocks at the
// right and bottom edges may be smaller).
void blockMean(const std::uint8_t* data, int linesize, int width, int height, int factor,
               FloatPlane& out);

// Centre-aligned linear interpolation weights from `from` samples to `to` samples:
// destination i reads (1 - weight[i]) * src[index[i]] + weight[i] * src[index[i] + 1],
// with index[i] + 1 always valid (clamped at the far edge).
struct LinearTable {
    std::vector<int> index;
    std::vector<float> weight;
};
LinearTable makeLinearTable(int from, int to);

// Bilinear resize of a float plane to out's size (out must be sized already).
void resizeLinear(const FloatPlane& in, FloatPlane& out);

}  // namespace kalo::depth
