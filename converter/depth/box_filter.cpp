#include "converter/depth/box_filter.h"

#include <algorithm>

namespace kalo::depth {

void BoxFilter::mean(const FloatPlane& in, int radius, FloatPlane& out) {
    const int w = in.width;
    const int h = in.height;
    if (out.width != w || out.height != h) out.resize(w, h);
    if (w == 0 || h == 0) return;
    columnSums_.assign(static_cast<std::size_t>(w), 0.0f);
    float* sums = columnSums_.data();
    for (int y = 0; y <= std::min(radius, h - 1); ++y) {
        const float* r = in.row(y);
        for (int x = 0; x < w; ++x) sums[x] += r[x];
    }
    // Horizontal window sizes depend on x only: 1 / (columns in window) per x.
    inverseCount_.resize(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        const int columns = std::min(x + radius, w - 1) - std::max(x - radius, 0) + 1;
        inverseCount_[static_cast<std::size_t>(x)] = 1.0f / static_cast<float>(columns);
    }
    const float* inverse = inverseCount_.data();
    for (int y = 0; y < h; ++y) {
        const int rows = std::min(y + radius, h - 1) - std::max(y - radius, 0) + 1;
        const float rowScale = 1.0f / static_cast<float>(rows);
        float* o = out.row(y);
        // Horizontal running sum over the column sums.
        float running = 0.0f;
        for (int x = 0; x <= std::min(radius, w - 1); ++x) running += sums[x];
        for (int x = 0; x < w; ++x) {
            o[x] = running;
            if (x + radius + 1 < w) running += sums[x + radius + 1];
            if (x - radius >= 0) running -= sums[x - radius];
        }
        for (int x = 0; x < w; ++x) o[x] *= inverse[x] * rowScale;
        // Slide the vertical window one row down.
        if (y + radius + 1 < h) {
            const float* add = in.row(y + radius + 1);
            for (int x = 0; x < w; ++x) sums[x] += add[x];
        }
        if (y - radius >= 0) {
            const float* remove = in.row(y - radius);
            for (int x = 0; x < w; ++x) sums[x] -= remove[x];
        }
    }
}

}  // namespace kalo::depth
