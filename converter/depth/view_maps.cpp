#include "converter/depth/view_maps.h"

#include <algorithm>
#include <cstdlib>

namespace kalo::depth {
namespace {

int largestDifference(int n, const std::uint8_t* __restrict a, const std::uint8_t* __restrict b) {
    int worst = 0;
    for (int j = 0; j < n; ++j) {
        const int difference = a[j] > b[j] ? a[j] - b[j] : b[j] - a[j];
        worst = difference > worst ? difference : worst;
    }
    return worst;
}

void shiftsOf(int n, const std::uint8_t* __restrict depth, const std::int32_t* __restrict table,
              std::int32_t* __restrict left, std::int32_t* __restrict right) {
    for (int j = 0; j < n; ++j) left[j] = table[depth[j]];
    for (int j = 0; j < n; ++j) right[j] = -left[j];
}

// Chroma map entries [first, first + count): half the position of every other luma entry
// (the even entry stands for its pair).
void chromaMapOf(int first, int count, int columns, const std::int32_t* __restrict map,
                 std::int32_t* __restrict chroma) {
    const std::int32_t last = (columns - 1) * kSubColumns;
    for (int c = first; c < first + count; ++c) {
        const std::int32_t p = map[2 * c] >> 1;
        chroma[c] = p < last ? p : last;
    }
}

}  // namespace

void ViewMaps::reset(int columns, const std::array<std::int32_t, 256>& leftShift) {
    columns_ = columns;
    leftShift_ = leftShift;
    int widest = 0;
    for (std::int32_t s : leftShift) widest = std::max(widest, std::abs(s));
    reach_ = widest / kSubColumns + 1;
    const double step = std::abs(static_cast<double>(leftShift[255] - leftShift[0])) / 255.0;
    tolerance_ = step > 0 ? static_cast<int>(kSubColumns / 4 / step) : 255;
    const int chromaColumns = columns / 2;
    for (int view = 0; view < 2; ++view) {
        maps_[static_cast<std::size_t>(view)].assign(static_cast<std::size_t>(columns), 0);
        chromaMaps_[static_cast<std::size_t>(view)].assign(static_cast<std::size_t>(chromaColumns) + 1, 0);
        shifts_[static_cast<std::size_t>(view)].assign(static_cast<std::size_t>(columns), 0);
        luma_[static_cast<std::size_t>(view)].attach(maps_[static_cast<std::size_t>(view)].data(), columns);
        chroma_[static_cast<std::size_t>(view)].attach(chromaMaps_[static_cast<std::size_t>(view)].data(), chromaColumns);
    }
    const int segments = (columns + kSegment - 1) / kSegment;
    builtFrom_.assign(static_cast<std::size_t>(segments) * (kSegment + 2 * reach_ + 2), 0);
    built_.assign(static_cast<std::size_t>(segments), false);
}

void ViewMaps::update(const std::uint8_t* depthRow) {
    const int segments = static_cast<int>(built_.size());
    const int window = kSegment + 2 * reach_ + 2;
    for (int segment = 0; segment < segments; ++segment) {
        const int first = segment * kSegment;
        const int start = std::max(first - reach_ - 1, 0);
        const int end = std::min(first + kSegment + reach_ + 1, columns_);
        std::uint8_t* from = builtFrom_.data() + static_cast<std::size_t>(segment) * window;
        if (built_[static_cast<std::size_t>(segment)] &&
            largestDifference(end - start, depthRow + start, from) <= tolerance_) {
            continue;
        }
        std::copy(depthRow + start, depthRow + end, from);
        built_[static_cast<std::size_t>(segment)] = true;
        rebuild(segment, depthRow);
    }
}

void ViewMaps::rebuild(int segment, const std::uint8_t* depthRow) {
    const int first = segment * kSegment;
    const int count = std::min(kSegment, columns_ - first);
    const int start = std::max(first - reach_ - 1, 0);
    const int end = std::min(first + count + reach_ + 1, columns_);
    std::int32_t* left = shifts_[kLeft].data();
    std::int32_t* right = shifts_[kRight].data();
    shiftsOf(end - start, depthRow + start, leftShift_.data(), left + start, right + start);
    const int chromaColumns = columns_ / 2;
    const int chromaFirst = first / 2;
    const int chromaCount = std::min(count / 2 + 1, chromaColumns - chromaFirst);
    for (int view = 0; view < 2; ++view) {
        std::int32_t* map = maps_[static_cast<std::size_t>(view)].data();
        builder_.buildPart(view == kLeft ? left : right, columns_, first, count, reach_, view == kLeft, map);
        luma_[static_cast<std::size_t>(view)].analyse(first, count);
        if (chromaCount > 0) {
            chromaMapOf(chromaFirst, chromaCount, chromaColumns, map, chromaMaps_[static_cast<std::size_t>(view)].data());
            chroma_[static_cast<std::size_t>(view)].analyse(chromaFirst, chromaCount);
        }
    }
}

}  // namespace kalo::depth
