#pragma once
// Edge-aware refinement: a colour guided filter (He, Sun and Tang) solved at the working
// resolution and applied at a finer one (the "fast guided filter"): the local linear
// coefficients are smooth, so they are interpolated up and combined with the finer luma,
// which puts the depth edges on the picture's own edges.
#include <cstdint>
#include <vector>

#include "converter/depth/box_filter.h"
#include "converter/depth/depth_stage.h"
#include "converter/depth/plane.h"

namespace kalo::depth {

// The guide: luma and the two chroma planes, all of one size.
struct GuideChannels {
    const FloatPlane* y = nullptr;
    const FloatPlane* u = nullptr;
    const FloatPlane* v = nullptr;
};

class GuidedFilter {
public:
    // Solves the coefficients for `input` (values 0..1) under `guide` (values 0..255 as
    // the picture has them); radius in samples of the guide, eps the regularisation in
    // squared units of a 0..1 guide.
    void solve(const GuideChannels& guide, const FloatPlane& input, int radius, float eps);

    // Applies the coefficients to a finer luma (any size; half resolution in practice):
    // writes depth 0..255 into out, sized like fineY.
    void apply(const BytePlane& fineY, BytePlane& out);

private:
    BoxFilter box_;
    FloatPlane guideY_, guideU_, guideV_;
    FloatPlane products_[10];
    FloatPlane means_[13];
    FloatPlane coefficients_[4];       // aY, aU, aV, b
    FloatPlane smoothCoefficients_[4];
    FloatPlane slope_, offset_;        // depth = slope * luma + offset, at this resolution
    FloatPlane wideRows_[2];           // slope and offset interpolated across, per coarse row
    std::vector<float> padded_;
    std::vector<float> scratch_;
};

}  // namespace kalo::depth
