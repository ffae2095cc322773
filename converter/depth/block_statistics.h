#pragma once
// Luma statistics per block of the half-resolution picture, gathered in one pass: the mean
// (the working-resolution luma) and what the focus cue needs - the steepest step and the
// range of values in the block.
#include "converter/depth/plane.h"

namespace kalo::depth {

struct LumaBlocks {
    FloatPlane mean;
    FloatPlane steepest;  // largest |dx| + |dy| between neighbouring samples
    FloatPlane range;     // largest minus smallest value
};

// Blocks of factor x factor samples (smaller at the right and bottom edges).
void measureLumaBlocks(const BytePlane& luma, int factor, LumaBlocks& blocks);

}  // namespace kalo::depth
