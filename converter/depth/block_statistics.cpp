#include "converter/depth/block_statistics.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kalo::depth {
namespace {

// One row into the per-column accumulators of the current block row.
void accumulateRow(int w, const std::uint8_t* __restrict row, const std::uint8_t* __restrict below,
                   std::uint32_t* __restrict sum, std::uint8_t* __restrict steepest,
                   std::uint8_t* __restrict lowest, std::uint8_t* __restrict highest) {
    auto add = [&](int x, int right) {
        const int dx = right > row[x] ? right - row[x] : row[x] - right;
        const int dy = below[x] > row[x] ? below[x] - row[x] : row[x] - below[x];
        const int step = dx + dy > 255 ? 255 : dx + dy;
        steepest[x] = std::max(steepest[x], static_cast<std::uint8_t>(step));
        lowest[x] = std::min(lowest[x], row[x]);
        highest[x] = std::max(highest[x], row[x]);
        sum[x] += row[x];
    };
    for (int x = 0; x + 1 < w; ++x) add(x, row[x + 1]);
    add(w - 1, row[w - 1]);  // the last column has no right neighbour
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
    std::vector<std::uint32_t> sum(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> steepest(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> lowest(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> highest(static_cast<std::size_t>(w));
    for (int by = 0; by < outH; ++by) {
        const int y0 = by * factor;
        const int y1 = std::min(y0 + factor, h);
        std::fill(sum.begin(), sum.end(), 0u);
        std::fill(steepest.begin(), steepest.end(), std::uint8_t{0});
        std::fill(lowest.begin(), lowest.end(), std::uint8_t{255});
        std::fill(highest.begin(), highest.end(), std::uint8_t{0});
        for (int y = y0; y < y1; ++y) {
            accumulateRow(w, luma.row(y), luma.row(std::min(y + 1, h - 1)), sum.data(), steepest.data(),
                          lowest.data(), highest.data());
        }
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
            mean[bx] = static_cast<float>(s) / static_cast<float>((x1 - x0) * (y1 - y0));
            steep[bx] = static_cast<float>(st);
            range[bx] = static_cast<float>(hi - lo);
        }
    }
}

}  // namespace kalo::depth
