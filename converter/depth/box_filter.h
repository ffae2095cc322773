#pragma once
// Mean over a (2r+1) x (2r+1) window: running column sums down the plane, a fixed number
// of taps across each row (both vectorised); windows are cut at the plane's
// borders and divided by the number of samples they hold.
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
