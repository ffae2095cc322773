// outputmode=depth: the depth map as a grey picture. The map is stretched to the full
// 0..255 range (near bright, far dark) and interpolated up to the picture's size.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "converter/depth/depth_stage.h"
#include "converter/depth/resample.h"

namespace kalo::depth {
namespace {

// Centre-aligned 2x interpolation (weights 3/4 and 1/4) of one stretched depth row pair:
// `near` is the nearer source row, `other` the one on the far side of the output row.
void doubleRow(int width, int outWidth, const std::uint8_t* __restrict near, const std::uint8_t* __restrict other,
               std::uint16_t* __restrict blended, std::uint8_t* __restrict out) {
    for (int x = 0; x < width; ++x) blended[x + 1] = static_cast<std::uint16_t>(3 * near[x] + other[x]);
    blended[0] = blended[1];
    blended[width + 1] = blended[width];
    const std::uint16_t* b = blended + 1;
    const int pairs = outWidth / 2;
    for (int x = 0; x < pairs; ++x) {
        out[2 * x] = static_cast<std::uint8_t>((3 * b[x] + b[x - 1] + 8) >> 4);
        out[2 * x + 1] = static_cast<std::uint8_t>((3 * b[x] + b[x + 1] + 8) >> 4);
    }
    // An odd last column is the single pixel its depth column stands for.
    if (outWidth % 2 != 0) out[outWidth - 1] = static_cast<std::uint8_t>((4 * b[pairs] + 8) >> 4);
}

void stretchRow(int width, const std::uint8_t* __restrict in, const std::uint8_t* __restrict table,
                std::uint8_t* __restrict out) {
    for (int x = 0; x < width; ++x) out[x] = table[in[x]];
}

}  // namespace

void renderDepthMap(const DepthMap& depth, Yuv420Target& out) {
    for (MutablePlaneView* chroma : {&out.u, &out.v}) {
        for (int y = 0; y < chroma->height; ++y) {
            std::memset(chroma->data + static_cast<std::ptrdiff_t>(y) * chroma->linesize, 128,
                        static_cast<std::size_t>(chroma->width));
        }
    }
    const std::size_t count = static_cast<std::size_t>(std::max(depth.width, 0)) * std::max(depth.height, 0);
    if (count == 0 || depth.values.size() < count) {
        for (int y = 0; y < out.y.height; ++y) {
            std::memset(out.y.data + static_cast<std::ptrdiff_t>(y) * out.y.linesize, 0,
                        static_cast<std::size_t>(out.y.width));
        }
        return;
    }
    const auto [lowest, highest] = std::minmax_element(depth.values.begin(), depth.values.begin() + static_cast<std::ptrdiff_t>(count));
    const int low = *lowest;
    const int range = std::max(*highest - low, 1);
    std::uint8_t stretch[256];
    for (int v = 0; v < 256; ++v) {
        stretch[v] = static_cast<std::uint8_t>(std::clamp((v - low) * 255 / range, 0, 255));
    }

    // The estimator's own size, half the picture's: a 2x interpolation in 16-bit lanes.
    if ((out.y.width + 1) / 2 == depth.width && (out.y.height + 1) / 2 == depth.height && depth.width >= 2) {
        std::vector<std::uint8_t> rows[3];
        for (auto& r : rows) r.resize(static_cast<std::size_t>(depth.width));
        std::vector<std::uint16_t> blended(static_cast<std::size_t>(depth.width) + 2);
        auto stretched = [&](int r, std::vector<std::uint8_t>& row) {
            r = std::clamp(r, 0, depth.height - 1);
            stretchRow(depth.width, depth.values.data() + static_cast<std::size_t>(r) * depth.width, stretch, row.data());
        };
        for (int r = 0; r < depth.height; ++r) {
            stretched(r - 1, rows[0]);
            stretched(r, rows[1]);
            stretched(r + 1, rows[2]);
            for (int half = 0; half < 2; ++half) {
                const int y = 2 * r + half;
                if (y >= out.y.height) break;
                // An odd last row, like an odd last column, is its depth row alone.
                const bool single = y == out.y.height - 1 && out.y.height % 2 != 0;
                const std::vector<std::uint8_t>& other = single ? rows[1] : rows[half == 0 ? 0 : 2];
                doubleRow(depth.width, out.y.width, rows[1].data(), other.data(), blended.data(),
                          out.y.data + static_cast<std::ptrdiff_t>(y) * out.y.linesize);
            }
        }
        return;
    }

    const LinearTable columns = makeLinearTable(depth.width, out.y.width);
    const LinearTable rows = makeLinearTable(depth.height, out.y.height);
    std::vector<float> blended(static_cast<std::size_t>(depth.width) + 1);
    for (int y = 0; y < out.y.height; ++y) {
        const int r0 = rows.index[static_cast<std::size_t>(y)];
        const int r1 = std::min(r0 + 1, depth.height - 1);
        const float wy = rows.weight[static_cast<std::size_t>(y)];
        const std::uint8_t* a = depth.values.data() + static_cast<std::size_t>(r0) * depth.width;
        const std::uint8_t* b = depth.values.data() + static_cast<std::size_t>(r1) * depth.width;
        for (int x = 0; x < depth.width; ++x) {
            blended[static_cast<std::size_t>(x)] = stretch[a[x]] + wy * static_cast<float>(stretch[b[x]] - stretch[a[x]]);
        }
        blended[static_cast<std::size_t>(depth.width)] = blended[static_cast<std::size_t>(depth.width) - 1];
        std::uint8_t* o = out.y.data + static_cast<std::ptrdiff_t>(y) * out.y.linesize;
        for (int x = 0; x < out.y.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(columns.index[static_cast<std::size_t>(x)]);
            const float v = blended[i] + columns.weight[static_cast<std::size_t>(x)] * (blended[i + 1] - blended[i]);
            o[x] = static_cast<std::uint8_t>(std::min(v + 0.5f, 255.0f));
        }
    }
}

}  // namespace kalo::depth
