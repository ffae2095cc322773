#pragma once
// The depth a typical scene of each kind has before looking at the picture: close-ups put
// the subject near in the middle, distant scenes have a ground plane rising to a far
// horizon with the sky behind it, and mixed scenes blend the two.
#include "converter/depth/depth_stage.h"
#include "converter/depth/plane.h"

namespace kalo::depth {

// Fills `prior` (its size already set) with 0 (far) .. 1 (near) for a picture whose content
// covers [left, right) x [top, bottom) of the plane; outside it the prior is 0.
void buildScenePrior(ScenePrior kind, int left, int top, int right, int bottom, FloatPlane& prior);

}  // namespace kalo::depth
