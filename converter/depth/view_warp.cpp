#include "converter/depth/view_warp.h"

#include <algorithm>
#include <climits>

namespace kalo::depth {
namespace {

constexpr std::int32_t kUnset = INT32_MIN;
// Neighbours further apart than this in the view leave a hole rather than a stretch.
constexpr std::int32_t kHoleGap = kSubColumns + kSubColumns / 2;

// First whole column at or after a fixed-point position (floor division for negatives).
inline int ceilColumn(std::int32_t position) {
    return static_cast<int>((position + kSubColumns - 1) >> 8);
}

inline std::int32_t reflect(std::int32_t p, std::int32_t last) {
    if (p < 0) p = -p;
    if (p > last) p = 2 * last - p;
    return std::min(std::max(p, 0), last);
}

}  // namespace

void buildSourceMap(const std::int32_t* shift, int columns, bool leftView,
                    std::int32_t* sourcePosition) {
    if (columns <= 0) return;
    const std::int32_t last = (columns - 1) * kSubColumns;
    std::fill(sourcePosition, sourcePosition + columns, kUnset);

    // Source column j covers view positions [t(j), t(j+1)); the last column is one wide.
    auto paint = [&](int j) {
        const std::int32_t sj = shift[j];
        const std::int32_t t0 = j * kSubColumns + sj;
        const std::int32_t sNext = j + 1 < columns ? shift[j + 1] : sj;
        const std::int32_t t1 = (j + 1) * kSubColumns + sNext;
        if (t1 <= t0) return;  // folded under its neighbours: hidden
        const int first = std::max(ceilColumn(t0), 0);
        if (t1 - t0 <= kHoleGap) {
            const int end = std::min(ceilColumn(t1), columns);
            const std::int32_t slope = sNext - sj;
            for (int k = first; k < end; ++k) {
                const std::int32_t into = k * kSubColumns - t0;
                sourcePosition[k] = k * kSubColumns - (sj + ((slope * into) >> 8));
            }
            return;
        }
        // A hole: column j's own footprint, then the uncovered background.
        const int ownEnd = std::min(ceilColumn(t0 + kSubColumns), columns);
        for (int k = first; k < ownEnd; ++k) sourcePosition[k] = k * kSubColumns - sj;
        const int holeEnd = std::min(ceilColumn(t1), columns);
        for (int k = std::max(ownEnd, 0); k < holeEnd; ++k) {
            if (sourcePosition[k] != kUnset) continue;  // something else shows through
            const std::int32_t at = k * kSubColumns;
            // Background is column j in the left view, column j+1 in the right view.
            sourcePosition[k] = leftView ? j * kSubColumns - (at - (t0 + kSubColumns))
                                         : (j + 1) * kSubColumns + (t1 - at);
        }
    };
    if (leftView) {
        for (int j = columns - 1; j >= 0; --j) paint(j);
    } else {
        for (int j = 0; j < columns; ++j) paint(j);
    }
    // Columns nothing landed on lie at the row's ends: mirror the picture's own edge.
    for (int k = 0; k < columns; ++k) {
        const std::int32_t p = sourcePosition[k];
        sourcePosition[k] = reflect(p == kUnset ? k * kSubColumns - shift[k] : p, last);
    }
}

}  // namespace kalo::depth
