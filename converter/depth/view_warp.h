#pragma once
// One row of one view: where each view column takes its picture from.
//
// Every source column j moves by shift[j] (1/256 column) into the view. Where moved columns
// collide, the nearer one must win: in the left view near points move right, so of two
// source columns landing on the same place the left one is nearer; in the right view the
// right one is. Painting the row in the opposite order (right to left for the left view)
// lets the nearer column paint last, with no depth test. Where neighbours move apart by more
// than a column and a half, background is uncovered: that hole is filled by mirroring the
// background next to it (the far side of the edge: left in the left view, right in the right
// view), never by stretching the near object, so no ghost copy of an edge appears.
#include <cstdint>

namespace kalo::depth {

constexpr int kSubColumns = 256;  // fixed-point fraction of shifts and source positions

// shift and sourcePosition have `columns` entries; sourcePosition receives, per view column,
// the source position in 1/256 column, clamped to [0, (columns - 1) * 256].
void buildSourceMap(const std::int32_t* shift, int columns, bool leftView,
                    std::int32_t* sourcePosition);

}  // namespace kalo::depth
