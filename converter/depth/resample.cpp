#include "converter/depth/resample.h"

#include <algorithm>

namespace kalo::depth {

void halvePlane(const PlaneView& in, BytePlane& out) {
    const int outWidth = (in.width + 1) / 2;
    const int outHeight = (in.height + 1) / 2;
    if (out.width != outWidth || out.height != outHeight) out.resize(outWidth, outHeight);
    const int pairs = in.width / 2;  // columns with a full 2-pixel pair
    for (int y = 0; y < outHeight; ++y) {
        const std::uint8_t* top = in.data + static_cast<std::ptrdiff_t>(2 * y) * in.linesize;
        const int bottomRow = std::min(2 * y + 1, in.height - 1);
        const std::uint8_t* bottom = in.data + static_cast<std::ptrdiff_t>(bottomRow) * in.linesize;
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < pairs; ++x) {
            o[x] = static_cast<std::uint8_t>(
                (top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) >> 2);
        }
        if (pairs < outWidth) {
            const int last = in.width - 1;
            o[pairs] = static_cast<std::uint8_t>((top[last] + bottom[last] + 1) >> 1);
        }
    }
}

namespace {

void addRowTo(int width, const std::uint8_t* __restrict row, std::uint16_t* __restrict sums) {
    for (int x = 0; x < width; ++x) sums[x] = static_cast<std::uint16_t>(sums[x] + row[x]);
}

}  // namespace

void blockMean(const std::uint8_t* data, int linesize, int width, int height, int factor,
               FloatPlane& out) {
    const int outWidth = (width + factor - 1) / factor;
    const int outHeight = (height + factor - 1) / factor;
    if (out.width != outWidth || out.height != outHeight) out.resize(outWidth, outHeight);
    // Column sums of at most `factor` rows: 16 bits hold them for factors up to 257.
    std::vector<std::uint16_t> columnSums(static_cast<std::size_t>(width));
    for (int oy = 0; oy < outHeight; ++oy) {
        const int y0 = oy * factor;
        const int y1 = std::min(y0 + factor, height);
        std::fill(columnSums.begin(), columnSums.end(), std::uint16_t{0});
        for (int y = y0; y < y1; ++y) addRowTo(width, data + static_cast<std::ptrdiff_t>(y) * linesize, columnSums.data());
        float* o = out.row(oy);
        const float fullArea = 1.0f / static_cast<float>(factor * (y1 - y0));
        for (int ox = 0; ox < outWidth; ++ox) {
            const int x0 = ox * factor;
            const int x1 = std::min(x0 + factor, width);
            std::uint32_t sum = 0;
            for (int x = x0; x < x1; ++x) sum += columnSums[static_cast<std::size_t>(x)];
            const float scale = x1 - x0 == factor ? fullArea : 1.0f / static_cast<float>((x1 - x0) * (y1 - y0));
            o[ox] = static_cast<float>(sum) * scale;
        }
    }
}

LinearTable makeLinearTable(int from, int to) {
    LinearTable table;
    table.index.resize(static_cast<std::size_t>(to));
    table.weight.resize(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        double source = (i + 0.5) * scale - 0.5;
        source = std::clamp(source, 0.0, static_cast<double>(from - 1));
        int index = static_cast<int>(source);
        double weight = source - index;
        if (index >= from - 1) {
            index = std::max(from - 2, 0);
            weight = from > 1 ? 1.0 : 0.0;
        }
        table.index[static_cast<std::size_t>(i)] = index;
        table.weight[static_cast<std::size_t>(i)] = static_cast<float>(weight);
    }
    return table;
}

void resizeLinear(const FloatPlane& in, FloatPlane& out) {
    const LinearTable columns = makeLinearTable(in.width, out.width);
    const LinearTable rows = makeLinearTable(in.height, out.height);
    const int last = in.height - 1;
    std::vector<float> blended(static_cast<std::size_t>(in.width) + 1);
    for (int y = 0; y < out.height; ++y) {
        const int r0 = rows.index[static_cast<std::size_t>(y)];
        const int r1 = std::min(r0 + 1, last);
        const float wy = rows.weight[static_cast<std::size_t>(y)];
        const float* a = in.row(r0);
        const float* b = in.row(r1);
        for (int x = 0; x < in.width; ++x) blended[static_cast<std::size_t>(x)] = a[x] + wy * (b[x] - a[x]);
        blended[static_cast<std::size_t>(in.width)] = blended[static_cast<std::size_t>(in.width) - 1];
        float* o = out.row(y);
        for (int x = 0; x < out.width; ++x) {
            const int i = columns.index[static_cast<std::size_t>(x)];
            const float w = columns.weight[static_cast<std::size_t>(x)];
            o[x] = blended[static_cast<std::size_t>(i)] +
                   w * (blended[static_cast<std::size_t>(i) + 1] - blended[static_cast<std::size_t>(i)]);
        }
    }
}

}  // namespace kalo::depth
