#pragma once
// One row of one view: where each view column takes its picture from.
//
// Every source column j moves by shift[j] (1/256 column) into the view and covers the view
// positions from t(j) = j + shift[j] up to t(j+1), and at least its own width. Where moved
// columns collide the nearer one must win: in the left view near points move right, so of
// two source columns reaching the same place the left one is nearer; in the right view the
// right one is. So the column shown at view position k is, without any depth test,
//   right view: the largest j with t(j) <= k   (a prefix maximum over scattered starts),
//   left view:  the smallest j whose cover ends after k (a suffix minimum over scattered ends).
// Both are branch-free passes. Where neighbours move apart by more than a column and a
// half, background is uncovered: that hole is filled by mirroring the background beside it
// (the far side of the edge: left in the left view, right in the right view), never by
// stretching the near object, so no ghost copy of an edge appears. Elsewhere a view column
// takes its owner's own shift (a slanted surface stretches by whole owners, which is off by
// less than the shift difference of neighbours, a fraction of a column).
#include <cstdint>
#include <vector>

namespace kalo::depth {

constexpr int kSubColumns = 256;  // fixed-point fraction of shifts and source positions

class SourceMapBuilder {
public:
    // shift and sourcePosition have `columns` entries; sourcePosition receives, per view
    // column, the source position in 1/256 column, within [0, (columns - 1) * 256].
    void build(const std::int32_t* shift, int columns, bool leftView, std::int32_t* sourcePosition);

    // The same for view columns [first, first + count) only, of a row `total` columns long,
    // where no shift exceeds `reach` whole columns: only the source columns that can land
    // there (and show through its holes) are looked at.
    void buildPart(const std::int32_t* shift, int total, int first, int count, int reach, bool leftView,
                   std::int32_t* sourcePosition);

private:
    // Columns [0, n) of `shift` as a row of their own, except that positions are written in
    // the whole row's coordinates (base: the position of column 0) and clamped to `last`.
    void buildRange(const std::int32_t* shift, int n, bool leftView, std::int32_t* sourcePosition,
                    std::int32_t base, std::int32_t last);

    std::vector<std::int32_t> shift_;     // with one virtual column before and two after
    std::vector<std::int32_t> position_;  // t(j) of the same columns
    std::vector<std::int32_t> marks_;
    std::vector<std::int32_t> owner_;
    std::vector<std::uint8_t> holes_;
    std::vector<std::int32_t> packed_;  // column << 16 | biased shift
    std::vector<std::int32_t> part_;
};

}  // namespace kalo::depth
