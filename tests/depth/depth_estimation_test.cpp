// The classical estimator on scenes of known geometry: what is near comes out nearer, the
// depth holds still on a still shot, restarts at a cut, and bars stay at screen depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "converter/depth/depth_stage.h"
#include "converter/depth/stereo_geometry.h"
#include "tests/depth/test_picture.h"

namespace kalo::depth {
namespace {

using test::Picture;

DepthFilterOptions withPrior(ScenePrior prior) {
    DepthFilterOptions options;
    options.scenePrior = prior;
    return options;
}

int maxDifference(const DepthMap& a, const DepthMap& b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.values.size(); ++i) worst = std::max(worst, std::abs(a.values[i] - b.values[i]));
    return worst;
}

double meanDifference(const DepthMap& a, const DepthMap& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.values.size(); ++i) sum += std::abs(a.values[i] - b.values[i]);
    return sum / static_cast<double>(a.values.size());
}

TEST(DepthEstimation, NearObjectComesOutNearerThanTheBackgroundBesideIt) {
    struct Case {
        int width, height;
        ScenePrior prior;
    };
    const Case cases[] = {{640, 360, ScenePrior::Mixed},
                          {640, 360, ScenePrior::Portrait},
                          {640, 360, ScenePrior::Landscape},
                          {1920, 1080, ScenePrior::Mixed},
                          {333, 187, ScenePrior::Mixed}};
    for (const Case& c : cases) {
        auto estimator = createClassicalEstimator(withPrior(c.prior), c.width, c.height);
        DepthMap depth;
        test::Scene scene{};
        for (int frame = 0; frame < 4; ++frame) {  // the object moves a little
            Picture picture(c.width, c.height);
            scene = test::drawNearObjectScene(picture, c.width / 5 + frame * c.width / 200);
            estimator->estimate(picture.view(), depth);
        }
        ASSERT_EQ(depth.width, (c.width + 1) / 2);
        ASSERT_EQ(depth.height, (c.height + 1) / 2);
        const int inset = (scene.objectX1 - scene.objectX0) / 6;
        const double object = test::meanDepth(depth, c.width, c.height, scene.objectX0 + inset,
                                              scene.objectY0 + inset, scene.objectX1 - inset, scene.objectY1 - inset);
        // Background at the same heights, to the right of the object, and the top left.
        const double beside = test::meanDepth(depth, c.width, c.height, scene.objectX1 + c.width / 8,
                                              scene.objectY0 + inset, c.width - c.width / 20, scene.objectY1 - inset);
        const double above = test::meanDepth(depth, c.width, c.height, 0, 0, c.width / 3, c.height / 4);
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " prior " << static_cast<int>(c.prior)
                                          << " object " << object << " beside " << beside << " above " << above);
        EXPECT_GT(object - beside, 40.0);
        EXPECT_GT(object - above, 60.0);
    }
}

TEST(DepthEstimation, TiltedGroundPlaneGetsNearerTowardsTheBottom) {
    const int w = 640;
    const int h = 360;
    const int horizon = h / 3;
    Picture picture(w, h);
    // Sky: bright, bluish, smooth. Ground: sharp stones that grow towards the viewer.
    test::paintTexture(picture, 0, 0, w, horizon, 190, 6, 60, 3);
    test::paintColour(picture, 0, 0, w, horizon, 160, 112);
    for (int band = horizon; band < h; band += 8) {
        const int stone = 1 + (band - horizon) / 20;
        test::paintBlocks(picture, 0, band, w, band + 8, 100, 50, stone, 4);
    }
    test::paintColour(picture, 0, horizon, w, h, 110, 135);
    for (ScenePrior prior : {ScenePrior::Landscape, ScenePrior::Mixed}) {
        auto estimator = createClassicalEstimator(withPrior(prior), w, h);
        DepthMap depth;
        estimator->estimate(picture.view(), depth);
        const double sky = test::meanDepth(depth, w, h, 0, 0, w, horizon - 10);
        double previous = sky;
        for (int band = horizon + 20; band + 40 <= h; band += 40) {
            const double ground = test::meanDepth(depth, w, h, 0, band, w, band + 40);
            EXPECT_GT(ground, previous + 3.0) << "prior " << static_cast<int>(prior) << " band at " << band;
            previous = ground;
        }
    }
}

TEST(DepthEstimation, StillShotHoldsStillAndSmoothingCalmsSensorNoise) {
    const int w = 480;
    const int h = 270;
    Picture clean(w, h);
    test::drawNearObjectScene(clean, w / 4);
    auto smoothed = createClassicalEstimator(DepthFilterOptions{}, w, h);
    DepthMap previous;
    DepthMap current;
    for (int frame = 0; frame < 8; ++frame) {
        smoothed->estimate(clean.view(), current);
        EXPECT_EQ(current.sceneCut, frame == 0) << frame;
        if (frame >= 2) {
            EXPECT_LE(maxDifference(previous, current), 1) << frame;
        }
        previous = current;
    }

    // The same shot with fresh grain in every picture: once settled, the smoothed depth
    // changes less from picture to picture than depth estimated from each picture alone.
    smoothed = createClassicalEstimator(DepthFilterOptions{}, w, h);
    double smoothedChange = 0;
    double singleChange = 0;
    DepthMap single;
    DepthMap previousSingle;
    std::srand(7);
    for (int frame = 0; frame < 10; ++frame) {
        Picture noisy = clean;
        for (auto& value : noisy.y) value = static_cast<std::uint8_t>(std::clamp(value + std::rand() % 13 - 6, 0, 255));
        smoothed->estimate(noisy.view(), current);
        EXPECT_EQ(current.sceneCut, frame == 0) << "grain is not a scene cut, picture " << frame;
        auto fresh = createClassicalEstimator(DepthFilterOptions{}, w, h);
        fresh->estimate(noisy.view(), single);
        if (frame >= 3) {
            smoothedChange += meanDifference(previous, current);
            singleChange += meanDifference(previousSingle, single);
        }
        previous = current;
        previousSingle = single;
    }
    EXPECT_LT(smoothedChange, singleChange * 0.5) << smoothedChange << " vs " << singleChange;
}

TEST(DepthEstimation, SceneCutRestartsSmoothing) {
    const int w = 480;
    const int h = 270;
    auto estimator = createClassicalEstimator(DepthFilterOptions{}, w, h);
    DepthMap depth;
    for (int frame = 0; frame < 5; ++frame) {  // shot one: a moving object
        Picture picture(w, h);
        test::drawNearObjectScene(picture, w / 5 + 3 * frame);
        estimator->estimate(picture.view(), depth);
        EXPECT_EQ(depth.sceneCut, frame == 0) << frame;
    }
    // Shot two: dark, with the near object on the other side.
    Picture second(w, h);
    test::paintTexture(second, 0, 0, w, h, 50, 30, 8, 9);
    test::paintColour(second, 0, 0, w, h, 120, 140);
    test::paintTexture(second, w * 2 / 3, h / 3, w - 10, h, 200, 30, 2, 10);
    estimator->estimate(second.view(), depth);
    EXPECT_TRUE(depth.sceneCut);

    DepthMap fresh;
    createClassicalEstimator(DepthFilterOptions{}, w, h)->estimate(second.view(), fresh);
    EXPECT_EQ(depth.values, fresh.values) << "nothing of the first shot may be carried into the second";

    estimator->estimate(second.view(), depth);
    EXPECT_FALSE(depth.sceneCut);
}

TEST(DepthEstimation, NothingCutByTheSideEdgesStandsInFrontOfTheScreen) {
    const int w = 640;
    const int h = 360;
    for (bool atLeft : {true, false}) {
        Picture picture(w, h);
        const test::Scene scene = test::drawNearObjectScene(picture, atLeft ? 0 : w - w / 4);
        auto estimator = createClassicalEstimator(DepthFilterOptions{}, w, h);
        DepthMap depth;
        estimator->estimate(picture.view(), depth);
        const int edgeColumn = atLeft ? 0 : depth.width - 1;
        const int insideColumn = atLeft ? depth.width / 10 : depth.width - 1 - depth.width / 10;
        for (int y = scene.objectY0 / 2 + 4; y < scene.objectY1 / 2 - 4; y += 8) {
            const auto at = [&](int x) { return depth.values[static_cast<std::size_t>(y) * depth.width + x]; };
            EXPECT_LE(at(edgeColumn), kScreenPlaneDepth) << (atLeft ? "left" : "right") << " edge, row " << y;
            EXPECT_GT(at(insideColumn), kScreenPlaneDepth) << (atLeft ? "left" : "right") << " inside, row " << y;
        }
    }
}

TEST(DepthEstimation, LetterboxAndPillarboxBarsStayAtScreenDepth) {
    struct Case {
        const char* name;
        int left, top;  // bar sizes in pixels (each side)
    };
    const int w = 640;
    const int h = 360;
    const Case cases[] = {{"letterbox", 0, 44}, {"pillarbox", 80, 0}, {"both", 40, 30}};
    for (const Case& c : cases) {
        Picture picture(w, h);
        test::drawNearObjectScene(picture, w / 3);
        test::paintBlack(picture, 0, 0, w, c.top);
        test::paintBlack(picture, 0, h - c.top, w, h);
        test::paintBlack(picture, 0, 0, c.left, h);
        test::paintBlack(picture, w - c.left, 0, w, h);
        auto estimator = createClassicalEstimator(DepthFilterOptions{}, w, h);
        DepthMap depth;
        estimator->estimate(picture.view(), depth);
        int wrong = 0;
        int contentAtScreen = 0;
        int content = 0;
        for (int y = 0; y < depth.height; ++y) {
            for (int x = 0; x < depth.width; ++x) {
                const int v = depth.values[static_cast<std::size_t>(y) * depth.width + x];
                const bool bar = 2 * x + 1 < c.left || 2 * x >= w - c.left || 2 * y + 1 < c.top || 2 * y >= h - c.top;
                if (bar) {
                    wrong += v != kScreenPlaneDepth;
                } else {
                    ++content;
                    contentAtScreen += v == kScreenPlaneDepth;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
        EXPECT_LT(contentAtScreen, content / 4) << c.name << ": the picture itself must keep its depth";
    }
}

}  // namespace
}  // namespace kalo::depth
