// outputmode=depth: the depth map as a grey picture. The map is stretched to the full
// 0..255 range (near bright, far dark) and interpolated up to the picture's size.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "converter/depth/depth_stage.h"
#include "converter/depth/resample.h"

namespace kalo::depth {

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
