#include "converter/depth/local_cues.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kalo::depth {
namespace {

constexpr int kCueRadius = 2;
constexpr int kHistogramBins = 1024;

float clamp01(float x) { return std::min(std::max(x, 0.0f), 1.0f); }

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

    // Focus: smoothed detail relative to the picture's own sharpest tenth, so that a soft
    // film and a crisp one both span the range.
    box_.mean(*picture.detail, kCueRadius, focus_);
    const float sharp = std::max(planePercentile(focus_, rect, 0.9f, 128.0f), 1.0f);
    {
        const float scale = 1.0f / sharp;
        float* f = focus_.values.data();
        for (std::size_t i = 0; i < n; ++i) f[i] = clamp01(f[i] * scale);
    }

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
