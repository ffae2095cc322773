#pragma once
// Letterbox and pillarbox bars: uniform black rows at the top and bottom, black columns at
// the sides. The estimator keeps them at screen depth so that they stay on the screen
// surface in both views instead of floating with the picture.
#include "converter/depth/depth_stage.h"

namespace kalo::depth {

// The picture inside the bars, in full-resolution pixels; right and bottom exclusive.
struct ContentRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ContentRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const ContentRect& o) const { return !(*this == o); }
};

// Finds the bars of a luma plane. A bar is at most 40 % of the picture per side; an all-black
// picture (a fade) has no bars.
ContentRect detectContent(const PlaneView& luma);

}  // namespace kalo::depth
