#include "bench/depth/synthetic_picture.h"

#include <cmath>

namespace kalo::bench {

OwnedPicture::OwnedPicture(int w, int h)
    : width(w), height(h),
      y(static_cast<std::size_t>(w) * h),
      u(static_cast<std::size_t>((w + 1) / 2) * ((h + 1) / 2)),
      v(static_cast<std::size_t>((w + 1) / 2) * ((h + 1) / 2)) {}

depth::Yuv420View OwnedPicture::view() const {
    const int cw = (width + 1) / 2;
    const int ch = (height + 1) / 2;
    return {{y.data(), width, width, height}, {u.data(), cw, cw, ch}, {v.data(), cw, cw, ch}};
}

depth::Yuv420Target OwnedPicture::target() {
    const int cw = (width + 1) / 2;
    const int ch = (height + 1) / 2;
    return {{y.data(), width, width, height}, {u.data(), cw, cw, ch}, {v.data(), cw, cw, ch}};
}

void drawSyntheticPicture(OwnedPicture& p, int index) {
    const int w = p.width;
    const int h = p.height;
    const int horizon = h * 2 / 5;
    const int objectX = w / 3 + (index * 7) % (w / 3);
    const int objectY = h / 2;
    const int radius = h / 5;
    for (int yy = 0; yy < h; ++yy) {
        for (int xx = 0; xx < w; ++xx) {
            int value;
            const int dx = xx - objectX;
            const int dy = yy - objectY;
            if (dx * dx + dy * dy < radius * radius) {
                value = ((xx / 6 + yy / 6) & 1) ? 220 : 40;  // sharp checks
            } else if (yy < horizon) {
                value = 180 + static_cast<int>(20 * std::sin(xx * 0.01 + yy * 0.02));  // soft sky
            } else {
                value = 90 + static_cast<int>(50 * std::sin(xx * 0.3) * std::cos(yy * 0.25));  // ground
            }
            p.y[static_cast<std::size_t>(yy) * w + xx] = static_cast<std::uint8_t>(value);
        }
    }
    const int cw = (w + 1) / 2;
    const int ch = (h + 1) / 2;
    for (int yy = 0; yy < ch; ++yy) {
        for (int xx = 0; xx < cw; ++xx) {
            const bool sky = 2 * yy < horizon;
            p.u[static_cast<std::size_t>(yy) * cw + xx] = static_cast<std::uint8_t>(sky ? 160 : 110);
            p.v[static_cast<std::size_t>(yy) * cw + xx] = static_cast<std::uint8_t>(sky ? 110 : 140);
        }
    }
}

}  // namespace kalo::bench
