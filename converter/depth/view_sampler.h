#pragma once
// Reading view rows out of the source along a source map (see view_warp.h). prepare()
// takes one map apart once - per block of 16 columns the lowest whole-column offset
// (position column minus output column), per column the fraction and whether it reads one
// column further - and then every plane row that shares the map (two luma rows, the two
// chroma rows) is read with contiguous loads and 16-bit arithmetic that the compiler
// vectorises. Blocks whose offsets spread over more than one column (depth edges) are
// read column by column.
#include <cstdint>
#include <vector>

namespace kalo::depth {

class ViewRowSampler {
public:
    // map: n source positions in 1/256 column, each within [0, (n - 1) * 256].
    void prepare(const std::int32_t* map, int n);

    // out[k] = source at map[k], linearly interpolated; source readable from -1 to n + 1.
    void sample(const std::uint8_t* source, std::uint8_t* out) const;

    // The same, squeezed to half width: out[c] = mean of the samples at map[2c], map[2c+1].
    void sampleSqueezed(const std::uint8_t* source, std::uint8_t* out, int outColumns);

private:
    const std::int32_t* map_ = nullptr;
    int n_ = 0;
    int blocks_ = 0;
    std::vector<std::int32_t> lowest_;   // per block; INT32_MIN: read column by column
    std::vector<std::uint8_t> fraction_;
    std::vector<std::uint8_t> further_;  // 0xff where the column reads one column further
    std::vector<std::uint8_t> full_;     // full-width row before a squeeze
};

}  // namespace kalo::depth
