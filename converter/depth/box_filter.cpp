#include "converter/depth/box_filter.h"

#include <algorithm>

namespace kalo::depth {
namespace {

// Horizontal window sums of a zero-padded row (radius zeros on each side), scaled per
// column. For the usual radii the taps are a compile-time constant, so each sum stays in a
// register and the row is one vectorised pass.
template <int Radius>
void sumAcrossFixed(int w, const float* __restrict padded, const float* __restrict scale, float rowScale,
                    float* __restrict out) {
    for (int x = 0; x < w; ++x) {
        float sum = padded[x];
        for (int tap = 1; tap <= 2 * Radius; ++tap) sum += padded[x + tap];
        out[x] = sum * scale[x] * rowScale;
    }
}

void sumAcross(int w, int radius, const float* __restrict padded, const float* __restrict scale,
               float rowScale, float* __restrict out) {
    switch (radius) {
    case 1: return sumAcrossFixed<1>(w, padded, scale, rowScale, out);
    case 2: return sumAcrossFixed<2>(w, padded, scale, rowScale, out);
    case 3: return sumAcrossFixed<3>(w, padded, scale, rowScale, out);
    case 4: return sumAcrossFixed<4>(w, padded, scale, rowScale, out);
    default: break;
    }
    for (int x = 0; x < w; ++x) out[x] = padded[x];
    for (int tap = 1; tap <= 2 * radius; ++tap) {
        const float* shifted = padded + tap;
        for (int x = 0; x < w; ++x) out[x] += shifted[x];
    }
    for (int x = 0; x < w; ++x) out[x] *= scale[x] * rowScale;
}

void addRow(int w, const float* __restrict row, float* __restrict sums) {
    for (int x = 0; x < w; ++x) sums[x] += row[x];
}

void subtractRow(int w, const float* __restrict row, float* __restrict sums) {
    for (int x = 0; x < w; ++x) sums[x] -= row[x];
}

}  // namespace

void BoxFilter::mean(const FloatPlane& in, int radius, FloatPlane& out) {
    const int w = in.width;
    const int h = in.height;
    if (out.width != w || out.height != h) out.resize(w, h);
    if (w == 0 || h == 0) return;
    // Column sums live in the middle of a row padded with `radius` zeros on both sides.
    columnSums_.assign(static_cast<std::size_t>(w + 2 * radius), 0.0f);
    float* sums = columnSums_.data() + radius;
    for (int y = 0; y <= std::min(radius, h - 1); ++y) addRow(w, in.row(y), sums);
    // Windows are cut at the borders: 1 / (columns in the window) per x.
    inverseCount_.resize(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        const int columns = std::min(x + radius, w - 1) - std::max(x - radius, 0) + 1;
        inverseCount_[static_cast<std::size_t>(x)] = 1.0f / static_cast<float>(columns);
    }
    for (int y = 0; y < h; ++y) {
        const int rows = std::min(y + radius, h - 1) - std::max(y - radius, 0) + 1;
        sumAcross(w, radius, columnSums_.data(), inverseCount_.data(), 1.0f / static_cast<float>(rows), out.row(y));
        // Slide the vertical window one row down.
        if (y + radius + 1 < h) addRow(w, in.row(y + radius + 1), sums);
        if (y - radius >= 0) subtractRow(w, in.row(y - radius), sums);
    }
}

}  // namespace kalo::depth
