// Side-by-side synthesis: each view is the source warped horizontally by half the parallax
// of every point (left view +d/2, right view -d/2), squeezed to half width on the fly.
//
// Everything runs on the half-resolution grid of the depth map, which is also the grid of
// the 4:2:0 chroma and of a half-width view: one depth row gives one source map per view
// (view_maps.h), used by two luma rows and one chroma row. Each plane row is squeezed to
// half width by a 2-sample box before the warp reads it (no aliasing from the squeeze).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "converter/depth/depth_stage.h"
#include "converter/depth/plane.h"
#include "converter/depth/resample.h"
#include "converter/depth/stereo_geometry.h"
#include "converter/depth/view_maps.h"
#include "converter/depth/view_sampler.h"

namespace kalo::depth {
namespace {

enum View { kLeft = 0, kRight = 1 };

// The row loops live in free functions with restrict-qualified parameters: inside the class
// a byte store could alias the members (the loop bounds), which stops vectorisation.

// A full-resolution row squeezed to half width by a 2-pixel box.
void halveRow(int halfWidth, const std::uint8_t* __restrict in, std::uint8_t* __restrict out) {
    for (int m = 0; m < halfWidth; ++m) out[m] = static_cast<std::uint8_t>((in[2 * m] + in[2 * m + 1] + 1) >> 1);
}

void copyPlane(const PlaneView& from, MutablePlaneView& to) {
    const int width = std::min(from.width, to.width);
    for (int y = 0; y < std::min(from.height, to.height); ++y) {
        std::memcpy(to.data + static_cast<std::ptrdiff_t>(y) * to.linesize,
                    from.data + static_cast<std::ptrdiff_t>(y) * from.linesize, static_cast<std::size_t>(std::max(width, 0)));
    }
}

void copyPicture(const Yuv420View& from, Yuv420Target& to) {
    copyPlane(from.y, to.y);
    copyPlane(from.u, to.u);
    copyPlane(from.v, to.v);
}

class Synthesizer final : public StereoSynthesizer {
public:
    explicit Synthesizer(const DepthFilterOptions& options) : strength_(options.strength) {}

    void synthesize(const Yuv420View& picture, const DepthMap& depth, Yuv420Target& out) override {
        const int width = picture.y.width;
        const int height = std::min(picture.y.height, out.y.height);
        if (width < 2 || height < 1 || out.y.width < 2) {
            copyPicture(picture, out);  // no room for two views: the picture as it is
            return;
        }
        prepare(width, height, out);
        const std::uint8_t* depthValues = depthOnGrid(depth);
        // Even-width views of exactly the half-resolution grid take the vectorised readers.
        const bool simpleLayout = width == out.y.width && width % 4 == 0 &&
                                  outChromaWidth_ == halfWidth_ && picture.u.width >= halfWidth_ &&
                                  picture.v.width >= halfWidth_;

        const int chromaRows = std::min({out.u.height, out.v.height, picture.u.height, picture.v.height});
        for (int r = 0; r < halfHeight_; ++r) {
            maps_.update(depthValues + static_cast<std::size_t>(r) * halfWidth_);
            if (simpleLayout) {
                warpRowPair(picture, r, height, r < chromaRows, out);
                continue;
            }
            for (int y = 2 * r; y < std::min(2 * r + 2, height); ++y) warpLumaRow(picture.y, y, out.y);
            if (r < chromaRows) {
                warpChromaRow(picture.u, r, out.u);
                warpChromaRow(picture.v, r, out.v);
            }
        }
    }

private:
    void prepare(int width, int height, const Yuv420Target& out) {
        const int halfWidth = (width + 1) / 2;
        if (halfWidth == halfWidth_ && out.y.width == outWidth_ && out.u.width == outChromaWidth_ &&
            height == outHeight_) {
            return;
        }
        halfWidth_ = halfWidth;
        halfHeight_ = (height + 1) / 2;
        outWidth_ = out.y.width;
        outHeight_ = height;
        outChromaWidth_ = std::min(out.u.width, out.v.width);
        // Shift per view in 1/256 of a half-resolution column.
        const double columnsPerStep = strength_ / 1000.0 * width / 255.0 / 2.0 / 2.0;
        for (int d = 0; d < 256; ++d) {
            const double columns = columnsPerStep * (d - kScreenPlaneDepth);
            const auto fixed = static_cast<std::int32_t>(columns * kSubColumns + (columns >= 0 ? 0.5 : -0.5));
            leftShift_[static_cast<std::size_t>(d)] = fixed;
        }
        maps_.reset(halfWidth_, leftShift_);
        halfRow_.assign(static_cast<std::size_t>(halfWidth_) + 1, 0);
        for (auto& row : paddedRows_) row.assign(static_cast<std::size_t>(halfWidth_) + 2 * kRowPad, 0);
        spareRow_.assign(static_cast<std::size_t>(outWidth_), 0);
        // Which half-resolution view column each squeezed output column shows (identity for
        // even widths, where a half-width view has exactly the half-resolution grid).
        const int leftWidth = outWidth_ / 2;
        viewWidth_ = {leftWidth, outWidth_ - leftWidth};
        const int chromaLeft = outChromaWidth_ / 2;
        chromaWidth_ = {chromaLeft, outChromaWidth_ - chromaLeft};
        for (int view = 0; view < 2; ++view) {
            auto& columns = lumaColumn_[static_cast<std::size_t>(view)];
            const int n = viewWidth_[static_cast<std::size_t>(view)];
            columns.resize(static_cast<std::size_t>(n));
            for (int k = 0; k < n; ++k) {
                columns[static_cast<std::size_t>(k)] =
                    std::min(static_cast<int>((2LL * k + 1) * halfWidth_ / (2LL * n)), halfWidth_ - 1);
            }
            auto& pairs = chromaColumns_[static_cast<std::size_t>(view)];
            const int c = chromaWidth_[static_cast<std::size_t>(view)];
            pairs.resize(2 * static_cast<std::size_t>(c));
            for (int k = 0; k < c; ++k) {
                const long long first = 2LL * k * halfWidth_ / (2LL * c);
                pairs[2 * static_cast<std::size_t>(k)] = std::min(static_cast<int>(first), halfWidth_ - 1);
                pairs[2 * static_cast<std::size_t>(k) + 1] = std::min(static_cast<int>(first) + 1, halfWidth_ - 1);
            }
        }
        depthGrid_.resize(0, 0);
    }

    // The depth map on the half-resolution grid: as it is when the estimator made it there,
    // otherwise resized (a depth model may work at any size). No depth: the screen plane.
    const std::uint8_t* depthOnGrid(const DepthMap& depth) {
        if (depth.width == halfWidth_ && depth.height == halfHeight_ &&
            depth.values.size() >= static_cast<std::size_t>(halfWidth_) * halfHeight_) {
            return depth.values.data();
        }
        if (depthGrid_.width != halfWidth_ || depthGrid_.height != halfHeight_) depthGrid_.resize(halfWidth_, halfHeight_);
        if (depth.width <= 0 || depth.height <= 0 ||
            depth.values.size() < static_cast<std::size_t>(depth.width) * depth.height) {
            std::fill(depthGrid_.values.begin(), depthGrid_.values.end(), static_cast<std::uint8_t>(kScreenPlaneDepth));
            return depthGrid_.values.data();
        }
        FloatPlane source;
        source.resize(depth.width, depth.height);
        std::copy(depth.values.begin(), depth.values.begin() + static_cast<std::ptrdiff_t>(source.values.size()),
                  source.values.begin());
        FloatPlane scaled;
        scaled.resize(halfWidth_, halfHeight_);
        resizeLinear(source, scaled);
        for (std::size_t i = 0; i < scaled.values.size(); ++i) {
            depthGrid_.values[i] = static_cast<std::uint8_t>(std::min(std::max(scaled.values[i] + 0.5f, 0.0f), 255.0f));
        }
        return depthGrid_.values.data();
    }

    // Rows read by the vectorised readers carry copies of their end samples on both sides.
    std::uint8_t* padded(int index) { return paddedRows_[static_cast<std::size_t>(index)].data() + kRowPad; }
    static void padEnds(std::uint8_t* row, int width) {
        for (int i = 1; i <= kRowPad; ++i) {
            row[-i] = row[0];
            row[width - 1 + i] = row[width - 1];
        }
    }

    // Half-resolution row r: both full-resolution luma rows (squeezed by a 2-pixel box
    // before the warp reads them) and the chroma row, through both views' maps.
    void warpRowPair(const Yuv420View& source, int r, int height, bool withChroma, Yuv420Target& target) {
        std::uint8_t* halves[2] = {padded(0), padded(1)};
        std::uint8_t* lumaOut[2] = {target.y.data + static_cast<std::ptrdiff_t>(2 * r) * target.y.linesize,
                                    spareRow_.data()};
        const int rows = std::min(2, height - 2 * r);
        if (rows == 2) lumaOut[1] = lumaOut[0] + target.y.linesize;
        for (int i = 0; i < 2; ++i) {
            const std::uint8_t* in = source.y.data + static_cast<std::ptrdiff_t>(2 * r + std::min(i, rows - 1)) * source.y.linesize;
            halveRow(halfWidth_, in, halves[i]);
            padEnds(halves[i], halfWidth_);
        }
        // Chroma is squeezed to half width first too, then read through the views' chroma
        // maps (every other entry of the luma maps, in squeezed units).
        const int chromaColumns = halfWidth_ / 2;
        std::uint8_t* u = padded(2);
        std::uint8_t* v = padded(3);
        std::uint8_t* outU = nullptr;
        std::uint8_t* outV = nullptr;
        if (withChroma) {
            halveRow(chromaColumns, source.u.data + static_cast<std::ptrdiff_t>(r) * source.u.linesize, u);
            halveRow(chromaColumns, source.v.data + static_cast<std::ptrdiff_t>(r) * source.v.linesize, v);
            padEnds(u, chromaColumns);
            padEnds(v, chromaColumns);
            outU = target.u.data + static_cast<std::ptrdiff_t>(r) * target.u.linesize;
            outV = target.v.data + static_cast<std::ptrdiff_t>(r) * target.v.linesize;
        }
        for (int view = 0; view < 2; ++view) {
            const ViewRowSampler& luma = maps_.luma(view);
            const int lumaOffset = view == kLeft ? 0 : halfWidth_;
            luma.sample(halves[0], lumaOut[0] + lumaOffset);
            luma.sample(halves[1], lumaOut[1] + lumaOffset);
            if (withChroma) {
                const ViewRowSampler& chroma = maps_.chroma(view);
                const int chromaOffset = view == kLeft ? 0 : chromaColumns;
                chroma.sample(u, outU + chromaOffset);
                chroma.sample(v, outV + chromaOffset);
            }
        }
    }

    // Other layouts (odd widths, views of unequal widths): column by column through tables
    // of which half-resolution column each output column shows; chroma takes the mean of
    // the samples nearest to the pair of map entries under each output sample.
    void warpLumaRow(const PlaneView& source, int y, MutablePlaneView& target) {
        const std::uint8_t* in = source.data + static_cast<std::ptrdiff_t>(y) * source.linesize;
        std::uint8_t* h = halfRow_.data();
        const int pairs = source.width / 2;
        for (int m = 0; m < pairs; ++m) h[m] = static_cast<std::uint8_t>((in[2 * m] + in[2 * m + 1] + 1) >> 1);
        if (pairs < halfWidth_) h[pairs] = in[source.width - 1];
        h[halfWidth_] = h[halfWidth_ - 1];
        std::uint8_t* o = target.data + static_cast<std::ptrdiff_t>(y) * target.linesize;
        for (int view = 0; view < 2; ++view) {
            const std::int32_t* map = maps_.map(view);
            const int* columns = lumaColumn_[static_cast<std::size_t>(view)].data();
            const int n = viewWidth_[static_cast<std::size_t>(view)];
            std::uint8_t* dst = o + (view == kLeft ? 0 : viewWidth_[kLeft]);
            for (int k = 0; k < n; ++k) {
                const std::int32_t p = map[columns[k]];
                const int i = p >> 8;
                const int f = p & 255;
                dst[k] = static_cast<std::uint8_t>((h[i] * (256 - f) + h[i + 1] * f + 128) >> 8);
            }
        }
    }

    void warpChromaRow(const PlaneView& source, int r, MutablePlaneView& target) {
        const std::uint8_t* in = source.data + static_cast<std::ptrdiff_t>(r) * source.linesize;
        const int last = std::min(source.width, halfWidth_) - 1;
        std::uint8_t* o = target.data + static_cast<std::ptrdiff_t>(r) * target.linesize;
        for (int view = 0; view < 2; ++view) {
            const std::int32_t* map = maps_.map(view);
            const int* pairs = chromaColumns_[static_cast<std::size_t>(view)].data();
            const int n = chromaWidth_[static_cast<std::size_t>(view)];
            std::uint8_t* dst = o + (view == kLeft ? 0 : chromaWidth_[kLeft]);
            for (int c = 0; c < n; ++c) {
                const int a = std::min((map[pairs[2 * c]] + 128) >> 8, last);
                const int b = std::min((map[pairs[2 * c + 1]] + 128) >> 8, last);
                dst[c] = static_cast<std::uint8_t>((in[a] + in[b] + 1) >> 1);
            }
        }
    }

    int strength_;
    int halfWidth_ = 0;
    int halfHeight_ = 0;
    int outWidth_ = 0;
    int outHeight_ = 0;
    int outChromaWidth_ = 0;
    std::array<int, 2> viewWidth_{};
    std::array<int, 2> chromaWidth_{};
    std::array<std::int32_t, 256> leftShift_{};  // per depth value; the right view's is its negative
    std::vector<std::uint8_t> halfRow_;
    std::array<std::vector<int>, 2> lumaColumn_;
    std::array<std::vector<int>, 2> chromaColumns_;
    BytePlane depthGrid_;
    ViewMaps maps_;
    static constexpr int kRowPad = 2;
    std::array<std::vector<std::uint8_t>, 4> paddedRows_;  // two luma halves, then U and V
    std::vector<std::uint8_t> spareRow_;                    // output of a missing odd last row
};

}  // namespace

std::unique_ptr<StereoSynthesizer> createStereoSynthesizer(const DepthFilterOptions& options,
                                                           int width, int height) {
    (void)width;
    (void)height;  // tables are (re)built from the first picture of each size
    return std::make_unique<Synthesizer>(options);
}

}  // namespace kalo::depth
