// Side-by-side synthesis: parallax of the right sign and size, every pixel filled, rows kept,
// no ghost copies at object edges, bars on the screen; and the depth-map picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "converter/depth/depth_stage.h"
#include "converter/depth/stereo_geometry.h"
#include "tests/depth/test_picture.h"

namespace kalo::depth {
namespace {

using test::Picture;

struct Box {
    int x0, y0, x1, y1;  // full-resolution pixels
};

// A depth map on the half-resolution grid: `far` everywhere, `near` inside the boxes.
DepthMap boxDepth(int width, int height, std::uint8_t far, std::uint8_t near, std::initializer_list<Box> boxes) {
    DepthMap depth;
    depth.width = (width + 1) / 2;
    depth.height = (height + 1) / 2;
    depth.values.assign(static_cast<std::size_t>(depth.width) * depth.height, far);
    for (const Box& b : boxes) {
        for (int y = std::max(b.y0, 0) / 2; y < std::min(b.y1 / 2, depth.height); ++y) {
            for (int x = std::max(b.x0, 0) / 2; x < std::min(b.x1 / 2, depth.width); ++x) {
                depth.values[static_cast<std::size_t>(y) * depth.width + x] = near;
            }
        }
    }
    return depth;
}

Picture synthesize(const Picture& source, const DepthMap& depth, int strength) {
    DepthFilterOptions options;
    options.strength = strength;
    Picture out(source.width, source.height, 0, 0, 0);  // 0 is never a picture value here
    Yuv420Target target = out.target();
    createStereoSynthesizer(options, source.width, source.height)->synthesize(source.view(), depth, target);
    return out;
}

// Shift in full-resolution pixels that best maps the source's columns [x0, x1) of row y
// onto one half of the side-by-side picture (squeezed 2:1).
int measureShift(const Picture& source, const Picture& out, int y, int x0, int x1, bool rightHalf) {
    const int offset = rightHalf ? out.width / 2 : 0;
    const int maxShift = 40;
    long best = LONG_MAX;
    int bestShift = 0;
    for (int d = -maxShift; d <= maxShift; ++d) {
        long sad = 0;
        for (int m = x0 / 2; m < x1 / 2; ++m) {
            const int squeezed = (source.luma(2 * m, y) + source.luma(2 * m + 1, y) + 1) / 2;
            const int x = std::clamp(m + d, 0, out.width / 2 - 1) + offset;
            sad += std::abs(out.luma(x, y) - squeezed);
        }
        if (sad < best) {
            best = sad;
            bestShift = d;
        }
    }
    return 2 * bestShift;
}

double expectedViewShift(int strength, int width, int depth) {
    return strength / 1000.0 * width * (depth - kScreenPlaneDepth) / 255.0 / 2.0;
}

TEST(StereoSynthesis, ParallaxHasTheSignAndSizeOfTheDepth) {
    struct Case {
        int width, height, strength;
    };
    for (const Case& c : {Case{1280, 720, 60}, Case{1920, 1080, 25}, Case{640, 360, 100}}) {
        Picture source(c.width, c.height);
        test::paintTexture(source, 0, 0, c.width, c.height, 120, 60, 4, 11);
        const Box object{c.width / 3, c.height / 3, c.width * 2 / 3, c.height * 2 / 3};
        test::paintTexture(source, object.x0, object.y0, object.x1, object.y1, 130, 80, 2, 12);
        const Picture out = synthesize(source, boxDepth(c.width, c.height, 0, 255, {object}), c.strength);

        const int y = c.height / 2;
        const int margin = c.width / 16;
        const int objectLeft = measureShift(source, out, y, object.x0 + margin, object.x1 - margin, false);
        const int objectRight = measureShift(source, out, y, object.x0 + margin, object.x1 - margin, true);
        const int farLeft = measureShift(source, out, c.height / 6, margin * 2, c.width - margin * 2, false);
        const int farRight = measureShift(source, out, c.height / 6, margin * 2, c.width - margin * 2, true);
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " dl=" << c.strength);
        const double near = expectedViewShift(c.strength, c.width, 255);
        const double far = expectedViewShift(c.strength, c.width, 0);
        // Near: crossed (left view right of the right view); far: uncrossed.
        EXPECT_NEAR(objectLeft, near, 2.0);
        EXPECT_NEAR(objectRight, -near, 2.0);
        EXPECT_NEAR(farLeft, far, 2.0);
        EXPECT_NEAR(farRight, -far, 2.0);
        EXPECT_GT(objectLeft - objectRight, 0);
        EXPECT_LT(farLeft - farRight, 0);
    }
}

TEST(StereoSynthesis, EstimatedSceneGivesTheNearObjectCrossedParallax) {
    const int w = 1280;
    const int h = 720;
    DepthFilterOptions options;
    options.strength = 40;
    auto estimator = createClassicalEstimator(options, w, h);
    DepthMap depth;
    Picture picture(w, h);
    test::Scene scene{};
    for (int frame = 0; frame < 3; ++frame) {
        picture = Picture(w, h);
        scene = test::drawNearObjectScene(picture, w / 5 + 4 * frame);
        estimator->estimate(picture.view(), depth);
    }
    const Picture out = synthesize(picture, depth, options.strength);
    const int y = (scene.objectY0 + scene.objectY1) / 2;
    const int inset = (scene.objectX1 - scene.objectX0) / 5;
    const int parallax = measureShift(picture, out, y, scene.objectX0 + inset, scene.objectX1 - inset, false) -
                         measureShift(picture, out, y, scene.objectX0 + inset, scene.objectX1 - inset, true);
    const double objectDepth = test::meanDepth(depth, w, h, scene.objectX0 + inset, y - 8, scene.objectX1 - inset, y + 8);
    EXPECT_NEAR(parallax, 2.0 * expectedViewShift(options.strength, w, static_cast<int>(objectDepth)), 3.0)
        << "object depth " << objectDepth;
    EXPECT_GT(parallax, 0) << "the near object stands in front of the screen";
}

TEST(StereoSynthesis, EveryPixelOfBothViewsIsFilled) {
    struct Case {
        int width, height, strength;
    };
    for (const Case& c : {Case{640, 360, 25}, Case{640, 360, 100}, Case{333, 187, 100}, Case{2, 2, 100}}) {
        Picture source(c.width, c.height, 120, 110, 150);
        test::paintTexture(source, 0, 0, c.width, c.height, 120, 80, 3, 5);
        const int w = c.width;
        const int h = c.height;
        const DepthMap maps[] = {
            boxDepth(w, h, 0, 255, {{w / 3, h / 4, w / 2, h * 3 / 4}}),
            boxDepth(w, h, 255, 0, {{w / 3, h / 4, w / 2, h * 3 / 4}}),
            boxDepth(w, h, 0, 255, {{0, 0, 4, h}, {w - 4, 0, w, h}, {w / 2, 0, w / 2 + 6, h}}),
            boxDepth(w, h, 40, 255, {{10, 10, 30, 30}, {30, 10, 50, 30}, {w / 2, h / 2, w, h}}),
            DepthMap{7, 5, std::vector<std::uint8_t>(35, 255), false},  // another size: resized
            DepthMap{},                                                   // none: screen plane
        };
        for (std::size_t i = 0; i < std::size(maps); ++i) {
            const Picture out = synthesize(source, maps[i], c.strength);
            const auto unfilled = [](const std::vector<std::uint8_t>& plane) {
                return std::count(plane.begin(), plane.end(), 0);
            };
            EXPECT_EQ(unfilled(out.y), 0) << w << "x" << h << " dl=" << c.strength << " map " << i;
            EXPECT_EQ(unfilled(out.u), 0) << w << "x" << h << " dl=" << c.strength << " map " << i;
            EXPECT_EQ(unfilled(out.v), 0) << w << "x" << h << " dl=" << c.strength << " map " << i;
        }
    }
}

TEST(StereoSynthesis, RowsStayRowsNoVerticalDisparity) {
    const int w = 640;
    const int h = 360;
    Picture source(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) source.luma(x, y) = static_cast<std::uint8_t>(16 + (y * 37) % 200);
    }
    for (int y = 0; y < source.chromaHeight(); ++y) {
        for (int x = 0; x < source.chromaWidth(); ++x) {
            source.cb(x, y) = static_cast<std::uint8_t>(16 + (y * 53) % 200);
            source.cr(x, y) = static_cast<std::uint8_t>(16 + (y * 71) % 200);
        }
    }
    const DepthMap depth = boxDepth(w, h, 0, 255, {{100, 50, 300, 200}, {400, 0, 420, h}});
    Picture out = synthesize(source, depth, 100);
    int moved = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) moved += out.luma(x, y) != source.luma(0, y);
    }
    for (int y = 0; y < out.chromaHeight(); ++y) {
        for (int x = 0; x < out.chromaWidth(); ++x) {
            moved += out.cb(x, y) != source.cb(0, y);
            moved += out.cr(x, y) != source.cr(0, y);
        }
    }
    EXPECT_EQ(moved, 0);
}

TEST(StereoSynthesis, NoGhostCopiesAtObjectEdges) {
    // A bright flat object over a darker textured background: each view must show the object
    // once, at its own width, with background (not object) in the uncovered strips.
    const int w = 640;
    const int h = 360;
    Picture source(w, h);
    test::paintTexture(source, 0, 0, w, h, 90, 50, 3, 21);
    const Box object{240, 100, 400, 260};
    for (int y = object.y0; y < object.y1; ++y) {
        for (int x = object.x0; x < object.x1; ++x) source.luma(x, y) = 230;
    }
    for (int strength : {25, 100}) {
        for (bool objectNear : {true, false}) {
            const DepthMap depth = objectNear ? boxDepth(w, h, 0, 255, {object}) : boxDepth(w, h, 255, 0, {object});
            const Picture out = synthesize(source, depth, strength);
            for (int y = object.y0 + 4; y < object.y1 - 4; y += 16) {
                for (bool right : {false, true}) {
                    int bright = 0;
                    for (int x = 0; x < w / 2; ++x) bright += out.luma(x + (right ? w / 2 : 0), y) > 190;
                    EXPECT_NEAR(bright, (object.x1 - object.x0) / 2, 1.0)
                        << "dl=" << strength << (objectNear ? " near" : " far") << (right ? " right" : " left")
                        << " view, row " << y;
                }
            }
        }
    }
}

TEST(StereoSynthesis, BarsStayOnTheScreenInBothViews) {
    const int w = 640;
    const int h = 360;
    const int pillar = 80;
    const int letterbox = 40;
    Picture source(w, h);
    test::drawNearObjectScene(source, w / 3);
    test::paintBlack(source, 0, 0, pillar, h);
    test::paintBlack(source, w - pillar, 0, w, h);
    test::paintBlack(source, 0, 0, w, letterbox);
    test::paintBlack(source, 0, h - letterbox, w, h);
    DepthFilterOptions options;
    options.strength = 100;
    DepthMap depth;
    createClassicalEstimator(options, w, h)->estimate(source.view(), depth);
    const Picture out = synthesize(source, depth, options.strength);
    for (int y = letterbox; y < h - letterbox; y += 10) {
        for (bool right : {false, true}) {
            const int offset = right ? w / 2 : 0;
            int first = 0;
            while (first < w / 2 && out.luma(offset + first, y) <= 20) ++first;
            int last = w / 2 - 1;
            while (last >= 0 && out.luma(offset + last, y) <= 20) --last;
            EXPECT_EQ(first, pillar / 2) << (right ? "right" : "left") << " view, row " << y;
            EXPECT_EQ(last, (w - pillar) / 2 - 1) << (right ? "right" : "left") << " view, row " << y;
        }
    }
    for (int y : {0, letterbox - 1, h - letterbox, h - 1}) {
        for (int x = 0; x < w; ++x) ASSERT_EQ(out.luma(x, y), 16) << "bar row " << y << " column " << x;
    }
}

TEST(DepthMapPicture, UsesTheFullRangeNearBrightFarDark) {
    struct Case {
        int width, height, mapWidth, mapHeight;  // the estimator's half size, or a model's own
    };
    for (const Case& c : {Case{640, 360, 320, 180}, Case{333, 187, 167, 94}, Case{640, 360, 100, 57}}) {
        const int w = c.width;
        const int h = c.height;
        DepthMap depth;
        depth.width = c.mapWidth;
        depth.height = c.mapHeight;
        for (int y = 0; y < depth.height; ++y) {
            for (int x = 0; x < depth.width; ++x) depth.values.push_back(static_cast<std::uint8_t>(60 + 120 * x / depth.width));
        }
        Picture out(w, h, 1, 1, 1);
        Yuv420Target target = out.target();
        renderDepthMap(depth, target);
        EXPECT_EQ(*std::min_element(out.y.begin(), out.y.end()), 0);
        EXPECT_EQ(*std::max_element(out.y.begin(), out.y.end()), 255);
        for (int x = 1; x < w; ++x) ASSERT_GE(out.luma(x, h / 2), out.luma(x - 1, h / 2)) << "nearer must not be darker";
        EXPECT_EQ(std::count(out.u.begin(), out.u.end(), 128), static_cast<long>(out.u.size()));
        EXPECT_EQ(std::count(out.v.begin(), out.v.end(), 128), static_cast<long>(out.v.size()));
    }
    // A flat map and no map at all still give a picture.
    Picture out(64, 36, 1, 1, 1);
    Yuv420Target target = out.target();
    renderDepthMap(DepthMap{32, 18, std::vector<std::uint8_t>(32 * 18, 90), false}, target);
    EXPECT_EQ(std::count(out.u.begin(), out.u.end(), 128), static_cast<long>(out.u.size()));
    renderDepthMap(DepthMap{}, target);
    EXPECT_EQ(std::count(out.y.begin(), out.y.end(), 0), static_cast<long>(out.y.size()));
}

}  // namespace
}  // namespace kalo::depth

namespace kalo::depth {
namespace {

TEST(DepthStages, OddTinyAndChangingSizesRunThroughEveryStage) {
    // One estimator and one synthesizer for the whole run, as the pipeline holds them.
    DepthFilterOptions options;
    options.strength = 100;
    auto estimator = createClassicalEstimator(options, 64, 36);
    auto synthesizer = createStereoSynthesizer(options, 64, 36);
    for (const auto& size : {std::pair{64, 36}, std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 5}, std::pair{17, 9},
                             std::pair{333, 187}, std::pair{64, 36}, std::pair{34, 6}}) {
        const int w = size.first;
        const int h = size.second;
        Picture source(w, h);
        test::paintTexture(source, 0, 0, w, h, 120, 80, 2, 3);
        DepthMap depth;
        estimator->estimate(source.view(), depth);
        ASSERT_EQ(depth.values.size(), static_cast<std::size_t>(depth.width) * depth.height) << w << "x" << h;
        Picture out(w, h, 0, 0, 0);
        Yuv420Target target = out.target();
        synthesizer->synthesize(source.view(), depth, target);
        EXPECT_EQ(std::count(out.y.begin(), out.y.end(), 0), 0) << w << "x" << h;
        EXPECT_EQ(std::count(out.u.begin(), out.u.end(), 0), 0) << w << "x" << h;
        renderDepthMap(depth, target);
        EXPECT_EQ(std::count(out.u.begin(), out.u.end(), 128), static_cast<long>(out.u.size())) << w << "x" << h;
    }
}

}  // namespace
}  // namespace kalo::depth
