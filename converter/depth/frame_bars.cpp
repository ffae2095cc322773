#include "converter/depth/frame_bars.h"

#include <algorithm>
#include <cstdint>

namespace kalo::depth {
namespace {

// Video black is 16; coded bars wobble a little around it.
constexpr std::uint8_t kBarLuma = 28;
// Rows sampled when looking for side bars.
constexpr int kRowStep = 4;

const std::uint8_t* rowOf(const PlaneView& p, int y) {
    return p.data + static_cast<std::ptrdiff_t>(y) * p.linesize;
}

bool isBarRow(const PlaneView& p, int y) {
    const std::uint8_t* r = rowOf(p, y);
    std::uint8_t highest = 0;
    for (int x = 0; x < p.width; ++x) highest = std::max(highest, r[x]);
    return highest <= kBarLuma;
}

}  // namespace

ContentRect detectContent(const PlaneView& luma) {
    ContentRect whole{0, 0, luma.width, luma.height};
    if (luma.width < 8 || luma.height < 8) return whole;
    const int maxRows = luma.height * 2 / 5;
    const int maxColumns = luma.width * 2 / 5;

    int top = 0;
    while (top < maxRows && isBarRow(luma, top)) ++top;
    if (top == maxRows && isBarRow(luma, luma.height / 2)) return whole;  // black picture
    int bottom = luma.height;
    while (luma.height - bottom < maxRows && isBarRow(luma, bottom - 1)) --bottom;

    // Side bars: the leftmost and rightmost bright sample over the rows in between.
    int left = maxColumns;
    int right = luma.width - maxColumns;
    for (int y = top; y < bottom; y += kRowStep) {
        const std::uint8_t* r = rowOf(luma, y);
        int x = 0;
        while (x < left && r[x] <= kBarLuma) ++x;
        left = std::min(left, x);
        int e = luma.width;
        while (e > right && r[e - 1] <= kBarLuma) --e;
        right = std::max(right, e);
    }
    if (left == maxColumns && right == luma.width - maxColumns) {
        // Nothing bright within the searched bands: not a pillarbox but a dark picture.
        bool anyBright = false;
        for (int y = top; y < bottom && !anyBright; y += kRowStep) {
            const std::uint8_t* r = rowOf(luma, y);
            for (int x = left; x < right; ++x) {
                if (r[x] > kBarLuma) {
                    anyBright = true;
                    break;
                }
            }
        }
        if (!anyBright) return whole;
    }
    return ContentRect{left, top, right, bottom};
}

}  // namespace kalo::depth
