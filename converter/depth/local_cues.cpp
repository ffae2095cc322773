#include "converter/depth/local_cues.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kalo::depth {
namespace {

constexpr int kCueRadius = 1;
constexpr int kHistogramBins = 1024;
// Luma range below which a region counts as flat rather than as sharp or soft.
constexpr float kFlatRange = 8.0f;
// Steepest step / range: a blur over ~6 samples gives about kSoftRatio, a clean edge ~1.
constexpr float kSoftRatio = 0.15f;
constexpr float kSharpRatio = 0.7f;

float clamp01(float x) { return std::min(std::max(x, 0.0f), 1.0f); }

void maxFilter3x3(const FloatPlane& in, FloatPlane& out) {
    const int w = in.width;
    const int h = in.height;
    if (out.width != w || out.height != h) out.resize(w, h);
    for (int y = 0; y < h; ++y) {
        const float* a = in.row(std::max(y - 1, 0));
        const float* b = in.row(y);
        const float* c = in.row(std::min(y + 1, h - 1));
        float* o = out.row(y);
        for (int x = 0; x < w; ++x) o[x] = std::max(a[x], std::max(b[x], c[x]));
        float previous = o[0];
        for (int x = 0; x < w; ++x) {
            const float current = o[x];
            const float next = x + 1 < w ? o[x + 1] : current;
            o[x] = std::max(previous, std::max(current, next));
            previous = current;
        }
    }
}

}  // namespace

float planePercentile(const FloatPlane& plane, const WorkRect& rect, float fraction, float maxValue) {
    std::vector<int> histogram(kHistogramBins, 0);
    const float toBin = (kHistogramBins - 1) / maxValue;
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const float* r = plane.row(y);
        for (int x = rect.left; x < rect.right; ++x) {
            const float scaled = std::min(std::max(r[x], 0.0f), maxValue) * toBin;
            ++histogram[static_cast<std::size_t>(scaled)];
        }
        count += rect.right - rect.left;
    }
    if (count == 0) return 0.0f;
    const int wanted = static_cast<int>(fraction * static_cast<float>(count));
    int seen = 0;
    for (int bin = 0; bin < kHistogramBins; ++bin) {
        seen += histogram[static_cast<std::size_t>(bin)];
        if (seen > wanted) return static_cast<float>(bin) / toBin;
    }
    return maxValue;
}

void LocalCues::measure(const WorkPicture& picture, const FloatPlane* previousY,
                        const WorkRect& rect) {
    const int w = picture.y->width;
    const int h = picture.y->height;
    const std::size_t n = picture.y->values.size();
    if (scratch_.width != w || scratch_.height != h) scratch_.resize(w, h);

    // Focus: steepest step over the range around each block (3 x 3 blocks), mapped so that
    // a clean edge counts as sharp and a blur of a few pixels as soft.
    maxFilter3x3(*picture.steepest, steepest_);
    maxFilter3x3(*picture.range, range_);
    {
        const float* st = steepest_.values.data();
        const float* rg = range_.values.data();
        float* s = scratch_.values.data();
        for (std::size_t i = 0; i < n; ++i) {
            const float ratio = st[i] / (rg[i] + kFlatRange);
            s[i] = clamp01((ratio - kSoftRatio) * (1.0f / (kSharpRatio - kSoftRatio)));
        }
    }
    box_.mean(scratch_, kCueRadius, focus_);

    // Farness from colour and haze.
    {
        const float* py = picture.y->values.data();
        const float* pu = picture.u->values.data();
        const float* pv = picture.v->values.data();
        const float* f = focus_.values.data();
        float* s = scratch_.values.data();
        for (std::size_t i = 0; i < n; ++i) {
            const float cb = pu[i] - 128.0f;
            const float cr = pv[i] - 128.0f;
            const float blue = clamp01((cb - cr) * (1.0f / 48.0f));
            const float colourless = 1.0f - clamp01((std::fabs(cb) + std::fabs(cr)) * (1.0f / 48.0f));
            const float bright = clamp01((py[i] - 100.0f) * (1.0f / 130.0f));
            const float haze = bright * colourless * (1.0f - f[i]);
            s[i] = std::max(0.8f * blue, haze);
        }
        box_.mean(scratch_, kCueRadius, farness_);
    }

    // Motion beyond the typical (median) change of the picture.
    if (previousY == nullptr || previousY->width != w || previousY->height != h) {
        if (motion_.width != w || motion_.height != h) motion_.resize(w, h);
        std::fill(motion_.values.begin(), motion_.values.end(), 0.0f);
        return;
    }
    {
        const float* cur = picture.y->values.data();
        const float* prev = previousY->values.data();
        float* s = scratch_.values.data();
        for (std::size_t i = 0; i < n; ++i) s[i] = std::fabs(cur[i] - prev[i]);
    }
    box_.mean(scratch_, kCueRadius, motion_);
    const float typical = planePercentile(motion_, rect, 0.5f, 255.0f);
    const float floor = typical + 1.5f;
    float* m = motion_.values.data();
    for (std::size_t i = 0; i < n; ++i) m[i] = clamp01((m[i] - floor) * (1.0f / 12.0f));
}

}  // namespace kalo::depth
