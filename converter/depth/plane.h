#pragma once
// A dense picture plane owned by the algorithms (no padding: linesize == width).
#include <cstddef>
#include <vector>

namespace kalo::depth {

template <typename T>
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<T> values;

    void resize(int w, int h) {
        width = w;
        height = h;
        values.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), T{});
    }
    T* row(int y) { return values.data() + static_cast<std::size_t>(y) * width; }
    const T* row(int y) const { return values.data() + static_cast<std::size_t>(y) * width; }
};

using FloatPlane = Plane<float>;
using BytePlane = Plane<unsigned char>;

}  // namespace kalo::depth
