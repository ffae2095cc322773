// The built-in depth estimator: monocular cues at a working resolution of about 120 rows
// (1/9 of 1080p in each direction), combined with a scene prior, normalised, smoothed over
// time and refined with the picture itself as guide at half resolution (the size of the
// 4:2:0 chroma planes), which is the size of the depth map it hands on.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "converter/depth/block_statistics.h"
#include "converter/depth/depth_stage.h"
#include "converter/depth/frame_bars.h"
#include "converter/depth/guided_filter.h"
#include "converter/depth/local_cues.h"
#include "converter/depth/resample.h"
#include "converter/depth/scene_cut.h"
#include "converter/depth/scene_prior.h"
#include "converter/depth/stereo_geometry.h"
#include "converter/depth/temporal_smoother.h"

namespace kalo::depth {
namespace {

constexpr int kWorkRows = 120;
constexpr int kGuideRadius = 3;      // in working samples: a 7 x 7 window, about 60 pixels at 1080p
constexpr float kGuideEps = 0.005f;  // squared 0..1 guide units: edges of ~0.07 and more count
constexpr float kScreenLevel = kScreenPlaneDepth / 255.0f;
constexpr int kSideBand = 40;  // thousandths of the width where the sides are held back

struct CueWeights {
    float prior, focus, motion, farness;
};

CueWeights weightsFor(ScenePrior kind) {
    switch (kind) {
    case ScenePrior::Portrait:
        return {0.55f, 0.30f, 0.20f, 0.15f};
    case ScenePrior::Landscape:
        // Distant scenes are sharp all over; haze and sky carry more of the depth.
        return {0.60f, 0.10f, 0.20f, 0.35f};
    case ScenePrior::Mixed:
        break;
    }
    return {0.50f, 0.25f, 0.25f, 0.25f};
}

// Each depth sample becomes the nearest of itself and its left and right neighbours. The
// refined edge may sit a sample inside an object, whose anti-aliased rim would then stay
// behind with the background when the views are warped (a thin copy of the rim beside the
// uncovered strip); widening near regions by a sample carries the rim with its object.
void widenNearEdges(const BytePlane& depth, std::vector<std::uint8_t>& out) {
    const int w = depth.width;
    out.resize(depth.values.size());
    for (int y = 0; y < depth.height; ++y) {
        const std::uint8_t* __restrict in = depth.row(y);
        std::uint8_t* __restrict o = out.data() + static_cast<std::size_t>(y) * w;
        if (w < 3) {
            std::copy(in, in + w, o);
            continue;
        }
        o[0] = std::max(in[0], in[1]);
        for (int x = 1; x + 1 < w; ++x) o[x] = std::max(in[x - 1], std::max(in[x], in[x + 1]));
        o[w - 1] = std::max(in[w - 2], in[w - 1]);
    }
}

void capRow(int width, const std::uint8_t* __restrict cap, std::uint8_t* __restrict row) {
    for (int x = 0; x < width; ++x) row[x] = std::min(row[x], cap[x]);
}

class ClassicalEstimator final : public DepthEstimator {
public:
    explicit ClassicalEstimator(const DepthFilterOptions& options)
        : kind_(options.scenePrior), weights_(weightsFor(options.scenePrior)) {}

    void estimate(const Yuv420View& picture, DepthMap& depth) override {
        const int halfW = (picture.y.width + 1) / 2;
        const int halfH = (picture.y.height + 1) / 2;
        depth.width = halfW;
        depth.height = halfH;
        depth.sceneCut = true;
        if (halfW < 2 || halfH < 2 || picture.u.width < halfW || picture.v.width < halfW ||
            picture.u.height < halfH || picture.v.height < halfH) {
            // Too small to say anything (or not 4:2:0): all at screen depth.
            depth.values.assign(static_cast<std::size_t>(halfW) * static_cast<std::size_t>(halfH),
                                static_cast<std::uint8_t>(kScreenPlaneDepth));
            previousY_.resize(0, 0);
            return;
        }
        const int factor = std::max(1, (halfH + kWorkRows / 2) / kWorkRows);

        halvePlane(picture.y, halfY_);
        measureLumaBlocks(halfY_, factor, lumaBlocks_);
        std::swap(workY_, lumaBlocks_.mean);
        blockMean(picture.u.data, picture.u.linesize, halfW, halfH, factor, workU_);
        blockMean(picture.v.data, picture.v.linesize, halfW, halfH, factor, workV_);

        // Bars, in full, half and working resolution.
        const ContentRect content = detectContent(picture.y);
        const int halfLeft = content.left / 2;
        const int halfTop = content.top / 2;
        const int halfRight = (content.right + 1) / 2;
        const int halfBottom = (content.bottom + 1) / 2;
        const WorkRect rect{halfLeft / factor, halfTop / factor,
                            (halfRight + factor - 1) / factor, (halfBottom + factor - 1) / factor};

        const bool cut = cutDetector_.isCut(workY_, rect);
        const bool havePrevious = !cut && previousY_.width == workY_.width &&
                                  previousY_.height == workY_.height;
        cues_.measure(WorkPicture{&workY_, &workU_, &workV_, &lumaBlocks_.steepest, &lumaBlocks_.range},
                      havePrevious ? &previousY_ : nullptr, rect);

        if (prior_.width != workY_.width || prior_.height != workY_.height || !(content == priorContent_)) {
            prior_.resize(workY_.width, workY_.height);
            buildScenePrior(kind_, rect.left, rect.top, rect.right, rect.bottom, prior_);
            priorContent_ = content;
        }
        combineCues(rect);
        measureChange(havePrevious);
        smoother_.smooth(raw_, change_, !havePrevious);
        holdBarsAtScreen(rect);

        guided_.solve(GuideChannels{&workY_, &workU_, &workV_}, raw_, kGuideRadius, kGuideEps);
        guided_.apply(halfY_, refined_);
        widenNearEdges(refined_, depth.values);
        keepSidesBehindScreen(depth, halfLeft, halfRight);
        writeBars(depth, halfLeft, halfTop, halfRight, halfBottom);
        depth.sceneCut = !havePrevious;
        std::swap(previousY_, workY_);
    }

private:
    void combineCues(const WorkRect& rect) {
        const int w = prior_.width;
        const int h = prior_.height;
        if (raw_.width != w || raw_.height != h) raw_.resize(w, h);
        const std::size_t n = raw_.values.size();
        const float* p = prior_.values.data();
        const float* f = cues_.focus().values.data();
        const float* m = cues_.motion().values.data();
        const float* z = cues_.farness().values.data();
        float* d = raw_.values.data();
        const CueWeights k = weights_;
        // Shifted by one so the percentile histogram sees positive values only.
        for (std::size_t i = 0; i < n; ++i) d[i] = 1.0f + k.prior * p[i] + k.focus * f[i] + k.motion * m[i] - k.farness * z[i];
        // Stretch to 0..1 between robust extremes so every scene uses the whole range.
        const float low = planePercentile(raw_, rect, 0.02f, 3.0f);
        const float high = planePercentile(raw_, rect, 0.98f, 3.0f);
        const float scale = 1.0f / std::max(high - low, 0.05f);
        for (std::size_t i = 0; i < n; ++i) d[i] = std::min(std::max((d[i] - low) * scale, 0.0f), 1.0f);
    }

    void measureChange(bool havePrevious) {
        const int w = workY_.width;
        const int h = workY_.height;
        if (change_.width != w || change_.height != h) change_.resize(w, h);
        if (!havePrevious) return;
        const std::size_t n = change_.values.size();
        const float* a = workY_.values.data();
        const float* b = previousY_.values.data();
        float* c = change_.values.data();
        for (std::size_t i = 0; i < n; ++i) c[i] = std::fabs(a[i] - b[i]);
    }

    void holdBarsAtScreen(const WorkRect& rect) {
        for (int y = 0; y < raw_.height; ++y) {
            float* r = raw_.row(y);
            const bool barRow = y < rect.top || y >= rect.bottom;
            for (int x = 0; x < raw_.width; ++x) {
                if (barRow || x < rect.left || x >= rect.right) r[x] = kScreenLevel;
            }
        }
    }

    // Something in front of the screen that the picture's left or right edge cuts off looks
    // wrong (the edge is at screen depth, yet hides it). Near those edges depth is capped,
    // from the screen plane at the edge itself up to no cap a few percent inside.
    void keepSidesBehindScreen(DepthMap& depth, int left, int right) {
        const int width = right - left;
        const int band = std::max(1, width * kSideBand / 1000);
        if (sideCap_.size() != static_cast<std::size_t>(depth.width) || capLeft_ != left || capRight_ != right) {
            sideCap_.assign(static_cast<std::size_t>(depth.width), 255);
            for (int x = 0; x < depth.width; ++x) {
                const int distance = std::min(x - left, right - 1 - x);
                if (distance < 0 || distance >= band) continue;
                sideCap_[static_cast<std::size_t>(x)] =
                    static_cast<std::uint8_t>(kScreenPlaneDepth + (255 - kScreenPlaneDepth) * distance / band);
            }
            capLeft_ = left;
            capRight_ = right;
        }
        for (int y = 0; y < depth.height; ++y) {
            capRow(depth.width, sideCap_.data(), depth.values.data() + static_cast<std::size_t>(y) * depth.width);
        }
    }

    static void writeBars(DepthMap& depth, int left, int top, int right, int bottom) {
        const auto screen = static_cast<std::uint8_t>(kScreenPlaneDepth);
        for (int y = 0; y < depth.height; ++y) {
            std::uint8_t* r = depth.values.data() + static_cast<std::size_t>(y) * depth.width;
            if (y < top || y >= bottom) {
                std::fill(r, r + depth.width, screen);
                continue;
            }
            std::fill(r, r + std::min(left, depth.width), screen);
            if (right < depth.width) std::fill(r + right, r + depth.width, screen);
        }
    }

    ScenePrior kind_;
    CueWeights weights_;
    std::vector<std::uint8_t> sideCap_;
    int capLeft_ = -1;
    int capRight_ = -1;
    BytePlane halfY_, refined_;
    LumaBlocks lumaBlocks_;
    FloatPlane workY_, workU_, workV_, previousY_;
    FloatPlane prior_, raw_, change_;
    ContentRect priorContent_;
    SceneCutDetector cutDetector_;
    LocalCues cues_;
    TemporalSmoother smoother_;
    GuidedFilter guided_;
};

}  // namespace

std::unique_ptr<DepthEstimator> createClassicalEstimator(const DepthFilterOptions& options,
                                                         int width, int height) {
    (void)width;
    (void)height;  // sizes are taken from each picture, so a size change mid-stream is safe
    return std::make_unique<ClassicalEstimator>(options);
}

}  // namespace kalo::depth
