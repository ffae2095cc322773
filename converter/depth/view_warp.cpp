#include "converter/depth/view_warp.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kalo::depth {
namespace {

// Neighbours further apart than this in the view leave a hole rather than a stretch.
constexpr std::int32_t kHoleGap = kSubColumns + kSubColumns / 2;

// First whole column at or after a fixed-point position (arithmetic shift: floor division).
inline std::int32_t ceilColumn(std::int32_t position) {
    return (position + kSubColumns - 1) >> 8;
}

// A column and its shift in one word, the column in the high bits: the largest (smallest)
// word belongs to the largest (smallest) column, and carries that column's shift along.
constexpr std::int32_t kShiftBias = 1 << 15;

// View position t(e) of every extended column, where neighbours leave a hole, and the
// packed column-and-shift words.
void positionsAndHoles(int count, const std::int32_t* __restrict shift, std::int32_t* __restrict position,
                       std::uint8_t* __restrict holes, std::int32_t* __restrict packed) {
    for (int e = 0; e < count; ++e) position[e] = (e - 1) * kSubColumns + shift[e];
    for (int e = 0; e + 1 < count; ++e) holes[e] = position[e + 1] - position[e] > kHoleGap ? 1 : 0;
    for (int e = 0; e < count; ++e) packed[e] = (e << 16) | (shift[e] + kShiftBias);
}

// Source position of view column k from its owner's packed word: the owner's own shift.
// `base` is the position of column 0 within the whole row.
inline std::int32_t ownedPosition(int k, std::int32_t word, std::int32_t base, std::int32_t last) {
    const std::int32_t p = base + k * kSubColumns - ((word & 0xffff) - kShiftBias);
    return std::min(std::max(p, 0), last);
}

inline std::int32_t reflect(std::int32_t p, std::int32_t last) {
    p = p < 0 ? -p : p;
    p = p > last ? 2 * last - p : p;
    return std::min(std::max(p, 0), last);
}

}  // namespace

void SourceMapBuilder::build(const std::int32_t* shift, int n, bool leftView,
                             std::int32_t* sourcePosition) {
    if (n <= 0) return;
    buildRange(shift, n, leftView, sourcePosition, 0, (n - 1) * kSubColumns);
}

void SourceMapBuilder::buildPart(const std::int32_t* shift, int total, int first, int count, int reach,
                                 bool leftView, std::int32_t* sourcePosition) {
    const int start = std::max(first - reach - 1, 0);
    const int end = std::min(first + count + reach + 1, total);
    part_.resize(static_cast<std::size_t>(end - start));
    buildRange(shift + start, end - start, leftView, part_.data(), start * kSubColumns, (total - 1) * kSubColumns);
    std::copy(part_.begin() + (first - start), part_.begin() + (first - start + count), sourcePosition + first);
}

void SourceMapBuilder::buildRange(const std::int32_t* shift, int n, bool leftView, std::int32_t* sourcePosition,
                                  std::int32_t base, std::int32_t last) {
    const std::size_t extended = static_cast<std::size_t>(n) + 3;
    shift_.resize(extended);
    position_.resize(extended);
    marks_.resize(static_cast<std::size_t>(n) + 1);
    owner_.resize(static_cast<std::size_t>(n));
    holes_.resize(static_cast<std::size_t>(n) + 9);
    packed_.resize(extended);
    std::int32_t* s = shift_.data();
    std::int32_t* t = position_.data();
    std::int32_t* marks = marks_.data();
    std::int32_t* owner = owner_.data();

    // Shifts beyond +-127 columns (8K pictures at extreme strength) are clipped to fit the
    // packed words.
    auto clip = [](std::int32_t v) { return std::min(std::max(v, -kShiftBias + 1), kShiftBias - 1); };
    s[0] = clip(shift[0]);
    for (int j = 0; j < n; ++j) s[j + 1] = clip(shift[j]);
    s[n + 1] = s[n];
    s[n + 2] = s[n];
    std::uint8_t* holes = holes_.data();
    std::int32_t* packed = packed_.data();
    positionsAndHoles(n + 3, s, t, holes, packed);

    if (!leftView) {
        // marks[c]: the largest column whose footprint starts at view column c.
        std::fill(marks, marks + n + 1, 0);
        for (int e = 1; e <= n; ++e) {
            const std::int32_t c = std::min(std::max(ceilColumn(t[e]), 0), n);
            marks[c] = packed[e];
        }
        std::int32_t running = packed[0];
        for (int k = 0; k < n; ++k) {
            running = std::max(running, marks[k]);
            owner[k] = running >> 16;
            sourcePosition[k] = ownedPosition(k, running, base, last);
        }
    } else {
        // marks[c + 1]: the smallest column whose footprint ends in view column c. A column
        // keeps at least its own width even where the next one folds back under it (here
        // the next one is the farther).
        std::fill(marks, marks + n + 1, INT32_MAX);
        for (int e = n; e >= 1; --e) {
            const std::int32_t end = std::max(t[e + 1], t[e] + kSubColumns);
            const std::int32_t c = std::min(std::max(ceilColumn(end) - 1, -1), n - 1);
            marks[c + 1] = packed[e];
        }
        std::int32_t running = packed[n + 1];
        for (int k = n - 1; k >= 0; --k) {
            running = std::min(running, marks[k + 1]);
            owner[k] = running >> 16;
            sourcePosition[k] = ownedPosition(k, running, base, last);
        }
    }

    // The few places the owner's own shift is wrong: holes, and the row's ends, where the
    // view reaches past the picture and the picture's edge is mirrored.
    // Visit the holes flagged above eight flags at a time.
    std::fill(holes + n + 1, holes + holes_.size(), 0);
    for (int e = 0; e <= n; ++e) {
        if ((e & 7) == 0) {
            std::uint64_t eight;
            std::memcpy(&eight, holes + e, sizeof eight);
            if (eight == 0) {
                e += 7;
                continue;
            }
        }
        if (!holes[e]) continue;
        const int first = std::max(ceilColumn(t[e]), 0);
        const int end = std::min(ceilColumn(t[e + 1]), n);
        for (int k = first; k < end; ++k) {
            if (owner[k] != e) continue;  // another surface shows through here
            const std::int32_t at = k * kSubColumns;
            const std::int32_t into = at - t[e];
            const std::int32_t j = e - 1;
            std::int32_t p;
            if (into < kSubColumns) {
                p = at - s[e];  // the column's own footprint
            } else if (leftView) {
                p = j * kSubColumns - (into - kSubColumns);  // background on the left
            } else {
                p = (j + 1) * kSubColumns + (t[e + 1] - at);  // background on the right
            }
            sourcePosition[k] = reflect(base + p, last);
        }
    }
    for (int k = 0; k < n && t[1] > k * kSubColumns; ++k) sourcePosition[k] = reflect(base + k * kSubColumns - s[1], last);
    for (int k = n - 1; k >= 0 && t[n] <= k * kSubColumns; --k) {
        sourcePosition[k] = reflect(base + k * kSubColumns - s[n], last);
    }
}

}  // namespace kalo::depth
