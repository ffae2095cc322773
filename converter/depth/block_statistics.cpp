#include "converter/depth/block_statistics.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kalo::depth {
namespace {

// One row into the per-column accumulators of the current block row, in 8- and 16-bit
// lanes: |a - b| as max - min, the sum of the two steps saturating at 255.
void accumulateRow(int w, const std::uint8_t* __restrict row, const std::uint8_t* __restrict right,
                   const std::uint8_t* __restrict below, std::uint16_t* __restrict sum,
                   std::uint8_t* __restrict steepest, std::uint8_t* __restrict lowest,
                   std::uint8_t* __restrict highest) {
    for (int x = 0; x < w; ++x) {
        const std::uint8_t here = row[x];
        const std::uint8_t dx = static_cast<std::uint8_t>(std::max(here, right[x]) - std::min(here, right[x]));
        const std::uint8_t dy = static_cast<std::uint8_t>(std::max(here, below[x]) - std::min(here, below[x]));
        const std::uint8_t room = static_cast<std::uint8_t>(255 - dx);
        const std::uint8_t step = static_cast<std::uint8_t>(dx + std::min(dy, room));
        steepest[x] = std::max(steepest[x], step);
        lowest[x] = std::min(lowest[x], here);
        highest[x] = std::max(highest[x], here);
        sum[x] = static_cast<std::uint16_t>(sum[x] + here);
    }
}

}  // namespace

void measureLumaBlocks(const BytePlane& luma, int factor, LumaBlocks& blocks) {
    const int w = luma.width;
    const int h = luma.height;
    const int outW = (w + factor - 1) / factor;
    const int outH = (h + factor - 1) / factor;
    for (FloatPlane* p : {&blocks.mean, &blocks.steepest, &blocks.range}) {
        if (p->width != outW || p->height != outH) p->resize(outW, outH);
    }
    // Column sums of at most `factor` rows: 16 bits hold them for factors up to 257.
    std::vector<std::uint16_t> sum(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> steepest(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> lowest(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> highest(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> shifted(static_cast<std::size_t>(w));  // the row one sample left
    for (int by = 0; by < outH; ++by) {
        const int y0 = by * factor;
        const int y1 = std::min(y0 + factor, h);
        std::fill(sum.begin(), sum.end(), std::uint16_t{0});
        std::fill(steepest.begin(), steepest.end(), std::uint8_t{0});
        std::fill(lowest.begin(), lowest.end(), std::uint8_t{255});
        std::fill(highest.begin(), highest.end(), std::uint8_t{0});
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* row = luma.row(y);
            std::copy(row + 1, row + w, shifted.begin());
            shifted[static_cast<std::size_t>(w) - 1] = row[w - 1];  // the last column compares with itself
            accumulateRow(w, row, shifted.data(), luma.row(std::min(y + 1, h - 1)), sum.data(), steepest.data(),
                          lowest.data(), highest.data());
        }
        const float inverseArea[2] = {1.0f / static_cast<float>(factor * (y1 - y0)),
                                      1.0f / static_cast<float>((w - (outW - 1) * factor) * (y1 - y0))};
        float* mean = blocks.mean.row(by);
        float* steep = blocks.steepest.row(by);
        float* range = blocks.range.row(by);
        for (int bx = 0; bx < outW; ++bx) {
            const int x0 = bx * factor;
            const int x1 = std::min(x0 + factor, w);
            std::uint32_t s = 0;
            int st = 0;
            int lo = 255;
            int hi = 0;
            for (int x = x0; x < x1; ++x) {
                s += sum[static_cast<std::size_t>(x)];
                st = std::max(st, static_cast<int>(steepest[static_cast<std::size_t>(x)]));
                lo = std::min(lo, static_cast<int>(lowest[static_cast<std::size_t>(x)]));
                hi = std::max(hi, static_cast<int>(highest[static_cast<std::size_t>(x)]));
            }
            mean[bx] = static_cast<float>(s) * inverseArea[bx == outW - 1 ? 1 : 0];
            steep[bx] = static_cast<float>(st);
            range[bx] = static_cast<float>(hi - lo);
        }
    }
}

}  // namespace kalo::depth
