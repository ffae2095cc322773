#include "converter/depth/view_sampler.h"

#include <algorithm>
#include <climits>

namespace kalo::depth {
namespace {

constexpr int kBlock = 16;

inline std::uint8_t lerp(const std::uint8_t* row, std::int32_t position) {
    const int i = position >> 8;
    const int f = position & 255;
    return static_cast<std::uint8_t>((row[i] * (256 - f) + row[i + 1] * f + 128) >> 8);
}

// Per block: whether its offsets (position column minus output column) spread over at most
// one column, and then for each column its position past the block's lowest offset, 0..511
// in 1/256 column.
void analyseBlocks(const std::int32_t* __restrict map, int firstBlock, int endBlock, std::int32_t* __restrict lowest,
                   std::uint16_t* __restrict local) {
    for (int b = firstBlock; b < endBlock; ++b) {
        int low = INT_MAX;
        int high = INT_MIN;
        for (int x = 0; x < kBlock; ++x) {
            const int k = b * kBlock + x;
            const int offset = (map[k] >> 8) - k;
            low = low < offset ? low : offset;
            high = high > offset ? high : offset;
        }
        lowest[b] = high - low <= 1 ? low : INT_MIN;
    }
    for (int b = firstBlock; b < endBlock; ++b) {
        const std::int32_t low = lowest[b];
        if (low == INT_MIN) continue;
        for (int x = 0; x < kBlock; ++x) {
            const int k = b * kBlock + x;
            local[k] = static_cast<std::uint16_t>(map[k] - (k + low) * 256);
        }
    }
}

// 16 columns whose reads start at `row` (the block's lowest column): each column reads
// this or the next column pair, interpolated in 16 bits.
void lerpBlock(const std::uint8_t* __restrict row, const std::uint16_t* __restrict local,
               std::uint8_t* __restrict out) {
    for (int x = 0; x < kBlock; ++x) {
        const std::uint16_t position = local[x];
        const std::uint8_t mask = static_cast<std::uint8_t>(0 - (position >> 8));  // 0 or 0xff
        const std::uint8_t low = static_cast<std::uint8_t>((row[x] & ~mask) | (row[x + 1] & mask));
        const std::uint8_t high = static_cast<std::uint8_t>((row[x + 1] & ~mask) | (row[x + 2] & mask));
        const std::uint16_t f = position & 255;
        const std::uint16_t sum = static_cast<std::uint16_t>(low * (256 - f) + high * f + 128);
        out[x] = static_cast<std::uint8_t>(sum >> 8);
    }
}

}  // namespace

void ViewRowSampler::attach(const std::int32_t* map, int n) {
    map_ = map;
    n_ = n;
    blocks_ = n / kBlock;
    lowest_.assign(static_cast<std::size_t>(blocks_) + 1, INT_MIN);
    local_.assign(static_cast<std::size_t>(n) + kBlock, 0);
}

void ViewRowSampler::analyse(int first, int count) {
    const int firstBlock = std::max(first, 0) / kBlock;
    const int endBlock = std::min((first + count + kBlock - 1) / kBlock, blocks_);
    if (endBlock <= firstBlock) return;
    analyseBlocks(map_, firstBlock, endBlock, lowest_.data(), local_.data());
}

void ViewRowSampler::sample(const std::uint8_t* source, std::uint8_t* out) const {
    for (int b = 0; b < blocks_; ++b) {
        const int k = b * kBlock;
        const std::int32_t low = lowest_[static_cast<std::size_t>(b)];
        if (low != INT_MIN) {
            lerpBlock(source + k + low, local_.data() + k, out + k);
        } else {
            for (int x = k; x < k + kBlock; ++x) out[x] = lerp(source, map_[x]);
        }
    }
    for (int k = blocks_ * kBlock; k < n_; ++k) out[k] = lerp(source, map_[k]);
}

}  // namespace kalo::depth
