#pragma once
// The source maps of both views (see view_warp.h) for the depth row being synthesised, kept
// from row to row. Neighbouring depth rows mostly differ in a few places (an edge crossing,
// texture the refinement left), so the row is handled in segments of kSegment columns: a
// segment is rebuilt only when the depth it depends on - its own columns and every column
// whose shift could carry it into the segment - moved by more than a quarter of a column's
// worth of shift since the segment was built.
#include <array>
#include <cstdint>
#include <vector>

#include "converter/depth/view_sampler.h"
#include "converter/depth/view_warp.h"

namespace kalo::depth {

class ViewMaps {
public:
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;

    // Columns of the half-resolution grid and the left view's shift per depth value (1/256
    // column; the right view's is its negative). Forgets every map.
    void reset(int columns, const std::array<std::int32_t, 256>& leftShift);

    // Brings both views' maps and readers up to date for a depth row of `columns` values.
    void update(const std::uint8_t* depthRow);

    const std::int32_t* map(int view) const { return maps_[static_cast<std::size_t>(view)].data(); }
    const ViewRowSampler& luma(int view) const { return luma_[static_cast<std::size_t>(view)]; }
    // Chroma squeezed to half width is read through every other map entry, halved.
    const ViewRowSampler& chroma(int view) const { return chroma_[static_cast<std::size_t>(view)]; }

private:
    static constexpr int kSegment = 128;  // a multiple of twice the readers' block

    void rebuild(int segment, const std::uint8_t* depthRow);

    int columns_ = 0;
    int reach_ = 0;      // whole columns a shift can span, plus one
    int tolerance_ = 0;  // depth steps that move a view by less than a quarter column
    std::array<std::int32_t, 256> leftShift_{};
    std::array<std::vector<std::int32_t>, 2> maps_;
    std::array<std::vector<std::int32_t>, 2> chromaMaps_;
    std::array<ViewRowSampler, 2> luma_;
    std::array<ViewRowSampler, 2> chroma_;
    std::array<std::vector<std::int32_t>, 2> shifts_;  // this row's shifts where rebuilt
    std::vector<std::uint8_t> builtFrom_;  // per segment, the depth window it was built from
    std::vector<bool> built_;
    SourceMapBuilder builder_;
};

}  // namespace kalo::depth
