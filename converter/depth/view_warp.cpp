#include "converter/depth/view_warp.h"

#include <algorithm>
#include <cstring>

namespace kalo::depth {
namespace {

// Neighbours further apart than this in the view leave a hole rather than a stretch.
constexpr std::int32_t kHoleGap = kSubColumns + kSubColumns / 2;

// First whole column at or after a fixed-point position (arithmetic shift: floor division).
inline std::int32_t ceilColumn(std::int32_t position) {
    return (position + kSubColumns - 1) >> 8;
}

// The source position of each view column from the source column that owns it, as a
// stretch between that column and the next. Extended index e is source column e - 1.
void interpolate(int n, const std::int32_t* __restrict owner, const std::int32_t* __restrict shift,
                 std::int32_t* __restrict out) {
    const std::int32_t last = (n - 1) * kSubColumns;
    for (int k = 0; k < n; ++k) {
        const std::int32_t e = owner[k];
        const std::int32_t s0 = shift[e];
        const std::int32_t into = k * kSubColumns - ((e - 1) * kSubColumns + s0);
        // A stretch only between neighbours less than half a column apart in shift; across
        // a fold the owner keeps its own shift.
        const std::int32_t step = shift[e + 1] - s0;
        const std::int32_t slope = step >= -kSubColumns / 2 && step <= kSubColumns / 2 ? step : 0;
        const std::int32_t p = k * kSubColumns - s0 - ((slope * into) >> 8);
        out[k] = std::min(std::max(p, 0), last);
    }
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
    const std::size_t extended = static_cast<std::size_t>(n) + 3;
    shift_.resize(extended);
    position_.resize(extended);
    marks_.resize(static_cast<std::size_t>(n) + 1);
    owner_.resize(static_cast<std::size_t>(n));
    holes_.resize(static_cast<std::size_t>(n) + 9);
    std::int32_t* s = shift_.data();
    std::int32_t* t = position_.data();
    std::int32_t* marks = marks_.data();
    std::int32_t* owner = owner_.data();

    s[0] = shift[0];
    std::copy(shift, shift + n, s + 1);
    s[n + 1] = shift[n - 1];
    s[n + 2] = shift[n - 1];
    for (int e = 0; e < n + 3; ++e) t[e] = (e - 1) * kSubColumns + s[e];

    if (!leftView) {
        // marks[c]: the largest column whose footprint starts at view column c.
        std::fill(marks, marks + n + 1, 0);
        for (int e = 1; e <= n; ++e) {
            const std::int32_t c = std::min(std::max(ceilColumn(t[e]), 0), n);
            marks[c] = e;
        }
        std::int32_t running = 0;
        for (int k = 0; k < n; ++k) {
            running = std::max(running, marks[k]);
            owner[k] = running;
        }
    } else {
        // marks[c + 1]: the smallest column whose footprint ends in view column c. A column
        // keeps at least its own width even where the next one folds back under it (here
        // the next one is the farther).
        std::fill(marks, marks + n + 1, n + 1);
        for (int e = n; e >= 1; --e) {
            const std::int32_t end = std::max(t[e + 1], t[e] + kSubColumns);
            const std::int32_t c = std::min(std::max(ceilColumn(end) - 1, -1), n - 1);
            marks[c + 1] = e;
        }
        std::int32_t running = n + 1;
        for (int k = n - 1; k >= 0; --k) {
            running = std::min(running, marks[k + 1]);
            owner[k] = running;
        }
    }
    interpolate(n, owner, s, sourcePosition);

    // The few places the stretch is wrong: holes, and the row's ends, where the view reaches
    // past the picture and the picture's edge is mirrored.
    const std::int32_t last = (n - 1) * kSubColumns;
    // Flag the holes in a vectorised pass, then visit them eight flags at a time.
    std::uint8_t* holes = holes_.data();
    for (int e = 0; e <= n; ++e) holes[e] = t[e + 1] - t[e] > kHoleGap ? 1 : 0;
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
            sourcePosition[k] = reflect(p, last);
        }
    }
    for (int k = 0; k < n && t[1] > k * kSubColumns; ++k) sourcePosition[k] = reflect(k * kSubColumns - s[1], last);
    for (int k = n - 1; k >= 0 && t[n] <= k * kSubColumns; --k) sourcePosition[k] = reflect(k * kSubColumns - s[n], last);
}

}  // namespace kalo::depth
