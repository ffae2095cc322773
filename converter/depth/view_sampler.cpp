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

// Per block the offset spread; per column the fraction and the one-further flag.
void analyseBlocks(const std::int32_t* __restrict map, int blocks, std::int32_t* __restrict lowest,
                   std::uint8_t* __restrict fraction, std::uint8_t* __restrict further) {
    for (int b = 0; b < blocks; ++b) {
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
    const int n = blocks * kBlock;
    for (int k = 0; k < n; ++k) fraction[k] = static_cast<std::uint8_t>(map[k] & 255);
    for (int b = 0; b < blocks; ++b) {
        const int low = lowest[b];
        for (int x = 0; x < kBlock; ++x) {
            const int k = b * kBlock + x;
            further[k] = ((map[k] >> 8) - k) != low ? 0xff : 0;
        }
    }
}

// 16 columns whose reads start at `row` (the block's lowest offset applied): choose per
// column between this and the next column, then interpolate in 16 bits.
void lerpBlock(const std::uint8_t* __restrict row, const std::uint8_t* __restrict further,
               const std::uint8_t* __restrict fraction, std::uint8_t* __restrict out) {
    for (int x = 0; x < kBlock; ++x) {
        const std::uint8_t mask = further[x];
        const std::uint8_t low = static_cast<std::uint8_t>((row[x] & ~mask) | (row[x + 1] & mask));
        const std::uint8_t high = static_cast<std::uint8_t>((row[x + 1] & ~mask) | (row[x + 2] & mask));
        const std::uint16_t f = fraction[x];
        const std::uint16_t sum = static_cast<std::uint16_t>(low * (256 - f) + high * f + 128);
        out[x] = static_cast<std::uint8_t>(sum >> 8);
    }
}

void squeezePairs(int columns, const std::uint8_t* __restrict in, std::uint8_t* __restrict out) {
    for (int c = 0; c < columns; ++c) out[c] = static_cast<std::uint8_t>((in[2 * c] + in[2 * c + 1] + 1) >> 1);
}

}  // namespace

void ViewRowSampler::prepare(const std::int32_t* map, int n) {
    map_ = map;
    n_ = n;
    blocks_ = n / kBlock;
    lowest_.resize(static_cast<std::size_t>(blocks_) + 1);
    fraction_.resize(static_cast<std::size_t>(n) + kBlock);
    further_.resize(static_cast<std::size_t>(n) + kBlock);
    analyseBlocks(map, blocks_, lowest_.data(), fraction_.data(), further_.data());
}

void ViewRowSampler::sample(const std::uint8_t* source, std::uint8_t* out) const {
    for (int b = 0; b < blocks_; ++b) {
        const int k = b * kBlock;
        const std::int32_t low = lowest_[static_cast<std::size_t>(b)];
        if (low != INT_MIN) {
            lerpBlock(source + k + low, further_.data() + k, fraction_.data() + k, out + k);
        } else {
            for (int x = k; x < k + kBlock; ++x) out[x] = lerp(source, map_[x]);
        }
    }
    for (int k = blocks_ * kBlock; k < n_; ++k) out[k] = lerp(source, map_[k]);
}

void ViewRowSampler::sampleSqueezed(const std::uint8_t* source, std::uint8_t* out, int outColumns) {
    full_.resize(static_cast<std::size_t>(n_));
    sample(source, full_.data());
    squeezePairs(std::min(outColumns, n_ / 2), full_.data(), out);
}

}  // namespace kalo::depth
