// The view warp's source maps: rebuilding a part of a row (what the synthesizer does where
// depth changed) gives exactly what building the whole row gives there.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "converter/depth/view_warp.h"

namespace kalo::depth {
namespace {

// Shift rows with flat runs, slopes and steps both ways, within +-reach columns.
std::vector<std::int32_t> shiftRow(int kind, int n, int reach) {
    std::vector<std::int32_t> shift(static_cast<std::size_t>(n));
    std::srand(static_cast<unsigned>(kind) + 1);
    int value = 0;
    for (int j = 0; j < n; ++j) {
        switch (kind) {
        case 0: value = reach * kSubColumns / 2; break;                      // flat
        case 1: value = (j - n / 2) * reach * kSubColumns / n; break;        // slope
        case 2: value = (j / 37) % 2 ? reach * 200 : -reach * 200; break;    // steps
        default:
            if (std::rand() % 23 == 0) value = (std::rand() % (2 * reach * 200 + 1)) - reach * 200;
            break;
        }
        shift[static_cast<std::size_t>(j)] = value;
    }
    return shift;
}

TEST(ViewWarp, PartOfARowMatchesTheWholeRow) {
    const int n = 400;
    const int reach = 12;
    SourceMapBuilder builder;
    for (int kind = 0; kind < 6; ++kind) {
        const std::vector<std::int32_t> shift = shiftRow(kind, n, reach);
        for (bool left : {true, false}) {
            std::vector<std::int32_t> whole(static_cast<std::size_t>(n));
            builder.build(shift.data(), n, left, whole.data());
            for (int first : {0, 5, 128, 256, 320}) {
                const int count = std::min(80, n - first);
                std::vector<std::int32_t> part(static_cast<std::size_t>(n), -1);
                builder.buildPart(shift.data(), n, first, count, reach, left, part.data());
                for (int k = first; k < first + count; ++k) {
                    ASSERT_EQ(part[static_cast<std::size_t>(k)], whole[static_cast<std::size_t>(k)])
                        << "kind " << kind << (left ? " left" : " right") << " part at " << first << " column " << k;
                }
                if (first > 0) {
                    EXPECT_EQ(part[static_cast<std::size_t>(first) - 1], -1) << "written before the part";
                }
                if (first + count < n) {
                    EXPECT_EQ(part[static_cast<std::size_t>(first + count)], -1) << "written after the part";
                }
            }
        }
    }
}

}  // namespace
}  // namespace kalo::depth
