#pragma once
// Mean over a (2r+1) x (2r+1) window by running sums; windows are cut at the plane's
// borders and divided by the number of samples they hold. O(1) per sample whatever r.
#include "converter/depth/plane.h"

namespace kalo::depth {

class BoxFilter {
public:
    // out gets in's size; in and out must be different planes.
    void mean(const FloatPlane& in, int radius, FloatPlane& out);

private:
    std::vector<float> columnSums_;
    std::vector<float> inverseCount_;
};

}  // namespace kalo::depth
