// Runs colours through FFmpeg's lut3d filter with a .cube file, the way the preview's
// filter graph applies a colour look.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kalo::test {

struct Rgb {
    std::uint8_t r, g, b;
};

struct LutResult {
    std::vector<Rgb> colors;  // one per input colour, in order
    std::string error;        // empty on success
};

LutResult applyLut(const std::string& cubePath, const std::vector<Rgb>& colors);

}  // namespace kalo::test
