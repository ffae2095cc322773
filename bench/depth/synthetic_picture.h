#pragma once
// A textured test picture for the benchmark: a detailed background, a bluish soft sky and a
// sharp object that moves from picture to picture, so that every cue has work to do.
#include <cstdint>
#include <vector>

#include "converter/depth/depth_stage.h"

namespace kalo::bench {

struct OwnedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> y, u, v;

    OwnedPicture(int w, int h);
    depth::Yuv420View view() const;
    depth::Yuv420Target target();
};

void drawSyntheticPicture(OwnedPicture& picture, int index);

}  // namespace kalo::bench
