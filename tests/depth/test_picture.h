#pragma once
// Pictures for the depth tests, drawn by the tests themselves: planar YUV 4:2:0 buffers and
// a few painting helpers for scenes of known geometry.
#include <cstdint>
#include <vector>

#include "converter/depth/depth_stage.h"

namespace kalo::depth::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> y, u, v;

    Picture(int w, int h, std::uint8_t luma = 128, std::uint8_t cb = 128, std::uint8_t cr = 128);
    int chromaWidth() const { return (width + 1) / 2; }
    int chromaHeight() const { return (height + 1) / 2; }
    Yuv420View view() const;
    Yuv420Target target();

    std::uint8_t& luma(int x, int yy) { return y[static_cast<std::size_t>(yy) * width + x]; }
    std::uint8_t luma(int x, int yy) const { return y[static_cast<std::size_t>(yy) * width + x]; }
    std::uint8_t& cb(int x, int yy) { return u[static_cast<std::size_t>(yy) * chromaWidth() + x]; }
    std::uint8_t& cr(int x, int yy) { return v[static_cast<std::size_t>(yy) * chromaWidth() + x]; }
};

// Deterministic value noise: `amplitude` around `mean`, features about `scale` pixels wide.
void paintTexture(Picture& p, int x0, int y0, int x1, int y1, int mean, int amplitude, int scale,
                  unsigned seed);
// Sharp-edged random blocks of `block` pixels: detail that is in focus at any size.
void paintBlocks(Picture& p, int x0, int y0, int x1, int y1, int mean, int amplitude, int block,
                 unsigned seed);
// Sets the chroma of the pixels [x0, x1) x [y0, y1).
void paintColour(Picture& p, int x0, int y0, int x1, int y1, std::uint8_t cb, std::uint8_t cr);
// Black (video black, 16) rows or columns with neutral chroma.
void paintBlack(Picture& p, int x0, int y0, int x1, int y1);

// The standard scene of known geometry: a soft, bluish, low-contrast far background and a
// sharp, warm, high-contrast near object, the object's left edge at objectX.
struct Scene {
    int objectX0, objectY0, objectX1, objectY1;
};
Scene drawNearObjectScene(Picture& p, int objectX);

// Mean of the depth values in a rectangle given in full-resolution pixels.
double meanDepth(const DepthMap& depth, int pictureWidth, int pictureHeight, int x0, int y0, int x1, int y1);

}  // namespace kalo::depth::test
