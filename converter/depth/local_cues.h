#pragma once
// Monocular cues measured on the working-resolution picture, each 0..1:
//   focus   - how sharp the local edges are: the steepest step against the local range of
//             values, which a defocused region lowers whatever the size of its texture;
//             the camera focuses on the near subject, so defocused regions lie further;
//   farness - aerial perspective: bluish, or bright with little colour and detail (haze);
//   motion  - change since the previous picture beyond the picture-wide change (a pan
//             moves everything): moving things are usually the near subject.
#include "converter/depth/box_filter.h"
#include "converter/depth/plane.h"

namespace kalo::depth {

// Region of the working planes that holds picture (not bars); right and bottom exclusive.
struct WorkRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Value below which `fraction` of the samples inside `rect` lie (values clamped to
// 0..maxValue, resolved to maxValue/1024).
float planePercentile(const FloatPlane& plane, const WorkRect& rect, float fraction, float maxValue);

struct WorkPicture {
    const FloatPlane* y = nullptr;
    const FloatPlane* u = nullptr;
    const FloatPlane* v = nullptr;
    const FloatPlane* steepest = nullptr;  // steepest luma step per block
    const FloatPlane* range = nullptr;     // luma range per block
};

class LocalCues {
public:
    void measure(const WorkPicture& picture, const FloatPlane* previousY, const WorkRect& rect);

    const FloatPlane& focus() const { return focus_; }
    const FloatPlane& farness() const { return farness_; }
    const FloatPlane& motion() const { return motion_; }

private:
    BoxFilter box_;
    FloatPlane scratch_;
    FloatPlane steepest_;
    FloatPlane range_;
    FloatPlane focus_;
    FloatPlane farness_;
    FloatPlane motion_;
};

}  // namespace kalo::depth
