#include "tests/depth/test_picture.h"

#include <algorithm>
#include <cmath>

namespace kalo::depth::test {

Picture::Picture(int w, int h, std::uint8_t luma, std::uint8_t cbValue, std::uint8_t crValue)
    : width(w), height(h),
      y(static_cast<std::size_t>(w) * h, luma),
      u(static_cast<std::size_t>((w + 1) / 2) * ((h + 1) / 2), cbValue),
      v(static_cast<std::size_t>((w + 1) / 2) * ((h + 1) / 2), crValue) {}

Yuv420View Picture::view() const {
    return {{y.data(), width, width, height},
            {u.data(), chromaWidth(), chromaWidth(), chromaHeight()},
            {v.data(), chromaWidth(), chromaWidth(), chromaHeight()}};
}

Yuv420Target Picture::target() {
    return {{y.data(), width, width, height},
            {u.data(), chromaWidth(), chromaWidth(), chromaHeight()},
            {v.data(), chromaWidth(), chromaWidth(), chromaHeight()}};
}

namespace {

float hashNoise(int x, int y, unsigned seed) {
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffff) / 65535.0f * 2.0f - 1.0f;
}

float smoothNoise(float x, float y, unsigned seed) {
    const int xi = static_cast<int>(std::floor(x));
    const int yi = static_cast<int>(std::floor(y));
    const float fx = x - xi;
    const float fy = y - yi;
    const float a = hashNoise(xi, yi, seed);
    const float b = hashNoise(xi + 1, yi, seed);
    const float c = hashNoise(xi, yi + 1, seed);
    const float d = hashNoise(xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

}  // namespace

void paintTexture(Picture& p, int x0, int y0, int x1, int y1, int mean, int amplitude, int scale,
                  unsigned seed) {
    for (int yy = std::max(y0, 0); yy < std::min(y1, p.height); ++yy) {
        for (int xx = std::max(x0, 0); xx < std::min(x1, p.width); ++xx) {
            const float n = smoothNoise(static_cast<float>(xx) / scale, static_cast<float>(yy) / scale, seed);
            p.luma(xx, yy) = static_cast<std::uint8_t>(std::clamp(mean + static_cast<int>(n * amplitude), 16, 235));
        }
    }
}

void paintBlocks(Picture& p, int x0, int y0, int x1, int y1, int mean, int amplitude, int block,
                 unsigned seed) {
    for (int yy = std::max(y0, 0); yy < std::min(y1, p.height); ++yy) {
        for (int xx = std::max(x0, 0); xx < std::min(x1, p.width); ++xx) {
            const float n = hashNoise(xx / block, yy / block, seed);
            p.luma(xx, yy) = static_cast<std::uint8_t>(std::clamp(mean + static_cast<int>(n * amplitude), 16, 235));
        }
    }
}

void paintColour(Picture& p, int x0, int y0, int x1, int y1, std::uint8_t cbValue, std::uint8_t crValue) {
    for (int yy = std::max(y0, 0) / 2; yy < (std::min(y1, p.height) + 1) / 2; ++yy) {
        for (int xx = std::max(x0, 0) / 2; xx < (std::min(x1, p.width) + 1) / 2; ++xx) {
            p.cb(xx, yy) = cbValue;
            p.cr(xx, yy) = crValue;
        }
    }
}

void paintBlack(Picture& p, int x0, int y0, int x1, int y1) {
    for (int yy = std::max(y0, 0); yy < std::min(y1, p.height); ++yy) {
        for (int xx = std::max(x0, 0); xx < std::min(x1, p.width); ++xx) p.luma(xx, yy) = 16;
    }
    paintColour(p, x0, y0, x1, y1, 128, 128);
}

Scene drawNearObjectScene(Picture& p, int objectX) {
    paintTexture(p, 0, 0, p.width, p.height, 150, 12, 24, 1);  // soft, low contrast
    paintColour(p, 0, 0, p.width, p.height, 150, 115);          // bluish
    const Scene s{objectX, p.height * 2 / 5, objectX + p.width / 4, p.height * 9 / 10};
    paintTexture(p, s.objectX0, s.objectY0, s.objectX1, s.objectY1, 110, 90, 3, 2);  // sharp, strong
    paintColour(p, s.objectX0, s.objectY0, s.objectX1, s.objectY1, 100, 170);        // warm
    return s;
}

double meanDepth(const DepthMap& depth, int pictureWidth, int pictureHeight, int x0, int y0, int x1, int y1) {
    const int mx0 = x0 * depth.width / pictureWidth;
    const int mx1 = std::max(mx0 + 1, x1 * depth.width / pictureWidth);
    const int my0 = y0 * depth.height / pictureHeight;
    const int my1 = std::max(my0 + 1, y1 * depth.height / pictureHeight);
    double sum = 0;
    int count = 0;
    for (int yy = my0; yy < my1; ++yy) {
        for (int xx = mx0; xx < mx1; ++xx) {
            sum += depth.values[static_cast<std::size_t>(yy) * depth.width + xx];
            ++count;
        }
    }
    return count ? sum / count : 0.0;
}

}  // namespace kalo::depth::test
