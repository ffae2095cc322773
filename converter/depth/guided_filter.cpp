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

// One fine row: q = aY*Y + aU*U + aV*V + b with the coefficients blended between two
// coarse rows, written as depth 0..255.
void applyRow(int n, float fy, const float* __restrict aY0, const float* __restrict aY1,
              const float* __restrict aU0, const float* __restrict aU1,
              const float* __restrict aV0, const float* __restrict aV1,
              const float* __restrict b0, const float* __restrict b1,
              const std::uint8_t* __restrict gy, const std::uint8_t* __restrict gu,
              const std::uint8_t* __restrict gv, float* __restrict scratch,
              std::uint8_t* __restrict out) {
    const float yScale = 1.0f / 255.0f;
    const float cScale = kChromaGain / 255.0f;
    const float cOffset = 128.0f * cScale;
    for (int x = 0; x < n; ++x) {
        const float ay = aY0[x] + fy * (aY1[x] - aY0[x]);
        const float au = aU0[x] + fy * (aU1[x] - aU0[x]);
        const float av = aV0[x] + fy * (aV1[x] - aV0[x]);
        const float bb = b0[x] + fy * (b1[x] - b0[x]);
        const float q = ay * (static_cast<float>(gy[x]) * yScale) +
                        au * (static_cast<float>(gu[x]) * cScale - cOffset) +
                        av * (static_cast<float>(gv[x]) * cScale - cOffset) + bb;
        const float scaled = q * 255.0f + 0.5f;
        scratch[x] = scaled < 0.0f ? 0.0f : (scaled > 255.0f ? 255.0f : scaled);
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
    for (FloatPlane& c : coefficients_) {
        if (c.width != w || c.height != h) c.resize(w, h);
    }
    solveCoefficients(input.values.size(), eps, means_[0].values.data(), means_[1].values.data(),
                      means_[2].values.data(), means_[3].values.data(), means_[4].values.data(),
                      means_[5].values.data(), means_[6].values.data(), means_[7].values.data(),
                      means_[8].values.data(), means_[9].values.data(), means_[10].values.data(),
                      means_[11].values.data(), means_[12].values.data(),
                      coefficients_[0].values.data(), coefficients_[1].values.data(),
                      coefficients_[2].values.data(), coefficients_[3].values.data());
    for (int c = 0; c < 4; ++c) box_.mean(coefficients_[c], radius, smoothCoefficients_[c]);
}

void GuidedFilter::apply(const BytePlane& fineY, const PlaneView& fineU, const PlaneView& fineV,
                         BytePlane& out) {
    const int w = fineY.width;
    const int h = fineY.height;
    if (out.width != w || out.height != h) out.resize(w, h);
    const int coarseW = smoothCoefficients_[0].width;
    const int coarseH = smoothCoefficients_[0].height;
    if (coarseW == 0 || coarseH == 0 || w == 0 || h == 0) return;

    // Across first (once per coarse row), then down per fine row: the second pass is a
    // plain blend of two rows that the compiler vectorises.
    const LinearTable columns = makeLinearTable(coarseW, w);
    const LinearTable rows = makeLinearTable(coarseH, h);
    for (int c = 0; c < 4; ++c) {
        FloatPlane& wide = wideRows_[c];
        if (wide.width != w || wide.height != coarseH) wide.resize(w, coarseH);
        for (int y = 0; y < coarseH; ++y) {
            const float* s = smoothCoefficients_[c].row(y);
            float* d = wide.row(y);
            for (int x = 0; x < w; ++x) {
                const int i = columns.index[static_cast<std::size_t>(x)];
                const int i1 = std::min(i + 1, coarseW - 1);
                const float f = columns.weight[static_cast<std::size_t>(x)];
                d[x] = s[i] + f * (s[i1] - s[i]);
            }
        }
    }
    if (scratch_.size() < static_cast<std::size_t>(w)) scratch_.resize(static_cast<std::size_t>(w));
    const int chromaW = std::min(w, std::min(fineU.width, fineV.width));
    const int chromaH = std::min(fineU.height, fineV.height);
    for (int y = 0; y < h; ++y) {
        const int r0 = rows.index[static_cast<std::size_t>(y)];
        const int r1 = std::min(r0 + 1, coarseH - 1);
        const int chromaRow = std::min(y, chromaH - 1);
        applyRow(chromaW, rows.weight[static_cast<std::size_t>(y)], wideRows_[0].row(r0), wideRows_[0].row(r1),
                 wideRows_[1].row(r0), wideRows_[1].row(r1), wideRows_[2].row(r0), wideRows_[2].row(r1),
                 wideRows_[3].row(r0), wideRows_[3].row(r1), fineY.row(y),
                 fineU.data + static_cast<std::ptrdiff_t>(chromaRow) * fineU.linesize,
                 fineV.data + static_cast<std::ptrdiff_t>(chromaRow) * fineV.linesize, scratch_.data(),
                 out.row(y));
        // Only when the chroma planes are narrower than the halved luma (not 4:2:0 sized).
        for (int x = chromaW; x < w; ++x) out.row(y)[x] = out.row(y)[chromaW > 0 ? chromaW - 1 : 0];
    }
}

}  // namespace kalo::depth
