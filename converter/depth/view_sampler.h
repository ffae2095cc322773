#pragma once
// Reading view rows out of the source along a source map (see view_warp.h). prepare()
// takes one map apart once - per block of 16 columns the lowest whole column read, per
// column its position past that column - and then every plane row that shares the map
// (two luma rows, or the two chroma rows) is read with contiguous loads and 16-bit
// arithmetic that the compiler vectorises. Blocks whose reads spread over more than one
// column beyond the lowest (depth edges) are read column by column.
#include <cstdint>
#include <vector>

namespace kalo::depth {

class ViewRowSampler {
public:
    // map: n source positions in 1/256 column, each within [0, (n - 1) * 256], read from
    // where it lies whenever analyse() and sample() run.
    void attach(const std::int32_t* map, int n);

    // Takes apart the blocks that hold map entries [first, first + count) (after they changed).
    void analyse(int first, int count);

    // attach() and analyse() of the whole map.
    void prepare(const std::int32_t* map, int n) {
        attach(map, n);
        analyse(0, n);
    }

    // out[k] = source at map[k], linearly interpolated; source readable from -1 to n + 1.
    void sample(const std::uint8_t* source, std::uint8_t* out) const;

private:
    const std::int32_t* map_ = nullptr;
    int n_ = 0;
    int blocks_ = 0;
    std::vector<std::int32_t> lowest_;  // per block; INT32_MIN: read column by column
    std::vector<std::uint16_t> local_;  // position past the block's lowest column, 1/256
};

}  // namespace kalo::depth
