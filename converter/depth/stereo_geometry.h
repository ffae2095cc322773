#pragma once
// How depth values become parallax on the viewer's screen.
//
// Unit of `dl` (DepthFilterOptions::strength): the largest total parallax, in thousandths
// of the picture width, between the nearest (depth 255) and the farthest (depth 0) point.
// Valid range 0..100; 0 gives a flat picture at screen depth. dl=25 is 2.5 % of the width
// (48 px on a 1920 wide picture, about 30 mm on a 55-inch television) and dl=27 is 2.7 %:
// both inside the usual comfort budget for living-room 3D (about 1 % in front of the
// screen and 2 % behind it).
//
// The screen plane (zero parallax) lies at depth kScreenPlaneDepth: two thirds of the
// range lies behind the screen, one third in front of it. Letterbox and pillarbox bars are
// given this depth so that they stay on the screen.
namespace kalo::depth {

constexpr int kMinStrength = 0;
constexpr int kMaxStrength = 100;
constexpr int kScreenPlaneDepth = 170;

// Each view carries half the parallax: the left view moves a point by +d/2, the right by
// -d/2, where d > 0 (crossed) for points nearer than the screen. Returned in 1/256 of a
// pixel of a picture `width` wide, per unit of depth difference from the screen plane.
inline int viewShiftPerDepthStep(int strength, int width) {
    // d(depth) = strength/1000 * width * (depth - screen) / 255, halved per view.
    const double pixelsPerStep = strength / 1000.0 * width / 255.0 / 2.0;
    return static_cast<int>(pixelsPerStep * 256.0 + 0.5);
}

}  // namespace kalo::depth
