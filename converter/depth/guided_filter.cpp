#include "converter/depth/guided_filter.h"

#include <algorithm>
#include <cmath>

#include "converter/depth/resample.h"

namespace kalo::depth {
namespace {

// Chroma differences separate objects of equal brightness; weigh them a little above luma.
constexpr float kChromaGain = 1.5f;

void scaleGuide(const FloatPlane& in, float gain, float offset, FloatPlane& out) {
    if (out.width != in.width || out.height != in.height) out.resize(in.width, in.height);
    const std::size_t n = in.values.size();
    const float* s = in.values.data();
    float* d = out.values.data();
    for (std::size_t i = 0; i < n; ++i) d[i] = (s[i] - offset) * gain;
}

void multiply(const FloatPlane& a, const FloatPlane& b, FloatPlane& out) {
    if (out.width != a.width || out.height != a.height) out.resize(a.width, a.height);
    const std::size_t n = a.values.size();
    const float* pa = a.values.data();
    const float* pb = b.values.data();
    float* d = out.values.data();
    for (std::size_t i = 0; i < n; ++i) d[i] = pa[i] * pb[i];
}

// Per sample: a = (Sigma + eps I)^-1 cov(I, p), b = mean(p) - a . mean(I). Separate
// function so that the restrict-qualified parameters let the compiler vectorise it.
void solveCoefficients(std::size_t n, float eps, const float* __restrict mY,
                       const float* __restrict mU, const float* __restrict mV,
                       const float* __restrict mP, const float* __restrict mYP,
                       const float* __restrict mUP, const float* __restrict mVP,
                       const float* __restrict mYY, const float* __restrict mYU,
                       const float* __restrict mYV, const float* __restrict mUU,
                       const float* __restrict mUV, const float* __restrict mVV,
                       float* __restrict aY, float* __restrict aU, float* __restrict aV,
                       float* __restrict b) {
    for (std::size_t i = 0; i < n; ++i) {
        const float covY = mYP[i] - mY[i] * mP[i];
        const float covU = mUP[i] - mU[i] * mP[i];
        const float covV = mVP[i] - mV[i] * mP[i];
        const float sYY = mYY[i] - mY[i] * mY[i] + eps;
        const float sYU = mYU[i] - mY[i] * mU[i];
        const float sYV = mYV[i] - mY[i] * mV[i];
        const float sUU = mUU[i] - mU[i] * mU[i] + eps;
        const float sUV = mUV[i] - mU[i] * mV[i];
        const float sVV = mVV[i] - mV[i] * mV[i] + eps;
        // Inverse of the symmetric 3x3 matrix by cofactors.
        const float c00 = sUU * sVV - sUV * sUV;
        const float c01 = sYV * sUV - sYU * sVV;
        const float c02 = sYU * sUV - sYV * sUU;
        const float c11 = sYY * sVV - sYV * sYV;
        const float c12 = sYV * sYU - sYY * sUV;
        const float c22 = sYY * sUU - sYU * sYU;
        const float inv = 1.0f / (sYY * c00 + sYU * c01 + sYV * c02);
        const float ay = (c00 * covY + c01 * covU + c02 * covV) * inv;
        const float au = (c01 * covY + c11 * covU + c12 * covV) * inv;
        const float av = (c02 * covY + c12 * covU + c22 * covV) * inv;
        aY[i] = ay;
        aU[i] = au;
        aV[i] = av;
        b[i] = mP[i] - ay * mY[i] - au * mU[i] - av * mV[i];
    }
}

// Coefficients interpolated across one coarse row to the fine width.
void widenRow(int w, const int* __restrict index, const float* __restrict weight, const float* __restrict coarse,
              float* __restrict wide) {
    for (int x = 0; x < w; ++x) {
        const int i = index[x];
        wide[x] = coarse[i] + weight[x] * (coarse[i + 1] - coarse[i]);
    }
}

// One fine row: depth = slope * Y + offset, the two maps blended between two coarse rows.
void applyRow(int n, float fy, const float* __restrict slope0, const float* __restrict slope1,
              const float* __restrict offset0, const float* __restrict offset1,
              const std::uint8_t* __restrict luma, float* __restrict scratch, std::uint8_t* __restrict out) {
    for (int x = 0; x < n; ++x) {
        const float slope = slope0[x] + fy * (slope1[x] - slope0[x]);
        const float offset = offset0[x] + fy * (offset1[x] - offset0[x]);
        const float depth = slope * static_cast<float>(luma[x]) + offset;
        scratch[x] = depth < 0.0f ? 0.0f : (depth > 255.0f ? 255.0f : depth);
    }
    for (int x = 0; x < n; ++x) out[x] = static_cast<std::uint8_t>(static_cast<int>(scratch[x]));
}

}  // namespace

void GuidedFilter::solve(const GuideChannels& guide, const FloatPlane& input, int radius,
                         float eps) {
    scaleGuide(*guide.y, 1.0f / 255.0f, 0.0f, guideY_);
    scaleGuide(*guide.u, kChromaGain / 255.0f, 128.0f, guideU_);
    scaleGuide(*guide.v, kChromaGain / 255.0f, 128.0f, guideV_);
    const FloatPlane* channels[3] = {&guideY_, &guideU_, &guideV_};

    // Products: I_c * p (3), then I_c * I_d for c <= d (6).
    int k = 0;
    for (const FloatPlane* c : channels) multiply(*c, input, products_[k++]);
    for (int c = 0; c < 3; ++c)
        for (int d = c; d < 3; ++d) multiply(*channels[c], *channels[d], products_[k++]);

    // Means: I (3), p, I*p (3), I*I (6).
    for (int c = 0; c < 3; ++c) box_.mean(*channels[c], radius, means_[c]);
    box_.mean(input, radius, means_[3]);
    for (int i = 0; i < 9; ++i) box_.mean(products_[i], radius, means_[4 + i]);

    const int w = input.width;
    const int h = input.height;
    const std::size_t n = input.values.size();
    for (FloatPlane& c : coefficients_) {
        if (c.width != w || c.height != h) c.resize(w, h);
    }
    solveCoefficients(n, eps, means_[0].values.data(), means_[1].values.data(),
                      means_[2].values.data(), means_[3].values.data(), means_[4].values.data(),
                      means_[5].values.data(), means_[6].values.data(), means_[7].values.data(),
                      means_[8].values.data(), means_[9].values.data(), means_[10].values.data(),
                      means_[11].values.data(), means_[12].values.data(),
                      coefficients_[0].values.data(), coefficients_[1].values.data(),
                      coefficients_[2].values.data(), coefficients_[3].values.data());
    for (int c = 0; c < 4; ++c) box_.mean(coefficients_[c], radius, smoothCoefficients_[c]);

    // For the fine picture: depth (0..255) = slope * luma byte + offset, where the chroma
    // terms are taken at this resolution. Chroma thus decides which object a region belongs
    // to; luma places the edge at the fine resolution.
    for (FloatPlane* p : {&slope_, &offset_}) {
        if (p->width != w || p->height != h) p->resize(w, h);
    }
    const float* aYs = smoothCoefficients_[0].values.data();
    const float* aUs = smoothCoefficients_[1].values.data();
    const float* aVs = smoothCoefficients_[2].values.data();
    const float* bs = smoothCoefficients_[3].values.data();
    const float* gu = guideU_.values.data();
    const float* gv = guideV_.values.data();
    float* slope = slope_.values.data();
    float* offset = offset_.values.data();
    for (std::size_t i = 0; i < n; ++i) {
        slope[i] = aYs[i];
        offset[i] = 255.0f * (aUs[i] * gu[i] + aVs[i] * gv[i] + bs[i]) + 0.5f;
    }
}

void GuidedFilter::apply(const BytePlane& fineY, BytePlane& out) {
    const int w = fineY.width;
    const int h = fineY.height;
    if (out.width != w || out.height != h) out.resize(w, h);
    const int coarseW = slope_.width;
    const int coarseH = slope_.height;
    if (coarseW == 0 || coarseH == 0 || w == 0 || h == 0) return;

    // Across first (once per coarse row), then down per fine row: the second pass is a
    // plain blend of two rows that the compiler vectorises.
    const LinearTable columns = makeLinearTable(coarseW, w);
    const LinearTable rows = makeLinearTable(coarseH, h);
    const FloatPlane* maps[2] = {&slope_, &offset_};
    padded_.resize(static_cast<std::size_t>(coarseW) + 1);
    for (int c = 0; c < 2; ++c) {
        FloatPlane& wide = wideRows_[c];
        if (wide.width != w || wide.height != coarseH) wide.resize(w, coarseH);
        for (int y = 0; y < coarseH; ++y) {
            const float* coarse = maps[c]->row(y);
            std::copy(coarse, coarse + coarseW, padded_.begin());
            padded_[static_cast<std::size_t>(coarseW)] = coarse[coarseW - 1];
            widenRow(w, columns.index.data(), columns.weight.data(), padded_.data(), wide.row(y));
        }
    }
    if (scratch_.size() < static_cast<std::size_t>(w)) scratch_.resize(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        const int r0 = rows.index[static_cast<std::size_t>(y)];
        const int r1 = std::min(r0 + 1, coarseH - 1);
        applyRow(w, rows.weight[static_cast<std::size_t>(y)], wideRows_[0].row(r0), wideRows_[0].row(r1),
                 wideRows_[1].row(r0), wideRows_[1].row(r1), fineY.row(y), scratch_.data(), out.row(y));
    }
}

}  // namespace kalo::depth
