// The slide step: unit steps per frame, an L-shaped path when one coordinate grows and
// the other shrinks, never past the target, and a slide that is already there stops.
#include <gtest/gtest.h>

#include <vector>

#include "widgets/animation_factory.h"

TEST(AnimationFactory, StepsFrameByFrame) {
    struct Case {
        const char* what;
        glm::vec2 start, target;
        int speed;
        std::vector<glm::vec2> frames;  // point yielded by each step, then the slide stops
    };
    const Case cases[] = {
        {"down one pixel per unit step", {20, 130}, {20, 150}, 1, {{20, 131}, {20, 132}}},
        {"up at speed 4", {20, 150}, {20, 130}, 4,
         {{20, 146}, {20, 142}, {20, 138}, {20, 134}, {20, 130}, {20, 130}}},
        {"x grows first, then y shrinks", {0, 10}, {3, 0}, 2,
         {{2, 10}, {3, 10}, {3, 8}, {3, 6}, {3, 4}, {3, 2}, {3, 0}, {3, 0}}},
        {"y grows first, then x shrinks", {5, 0}, {0, 3}, 10, {{5, 3}, {0, 3}, {0, 3}}},
        {"both shrink diagonally", {4, 2}, {0, 0}, 1, {{3, 1}, {2, 0}, {1, 0}, {0, 0}, {0, 0}}},
        {"fractional distance stops on the target", {0, 0.5f}, {0, 3}, 4, {{0, 3}, {0, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto slide = AnimationFactory::create(nullptr, c.start, c.target, c.speed);
        EXPECT_FALSE(slide->active);
        slide->restart();
        for (size_t i = 0; i < c.frames.size(); ++i) {
            const glm::vec2 p = slide->step();
            EXPECT_EQ(p, c.frames[i]) << "frame " << i;
            EXPECT_EQ(slide->current, p);
        }
        if (c.frames.back() == c.target) {
            slide->step();
            EXPECT_FALSE(slide->active);
            EXPECT_EQ(slide->current, c.target);
        }
    }
}

TEST(AnimationFactory, StartEqualToTargetStopsOnTheFirstStep) {
    auto slide = AnimationFactory::create(nullptr, {20, 150}, {20, 150}, 4);
    slide->restart();
    EXPECT_EQ(slide->step(), glm::vec2(20, 150));
    EXPECT_FALSE(slide->active);
    EXPECT_EQ(slide->step(), glm::vec2(20, 150));
}

TEST(AnimationFactory, InactiveSlideDoesNotMove) {
    auto slide = AnimationFactory::create(nullptr, {0, 0}, {0, 40}, 4);
    EXPECT_EQ(slide->step(), glm::vec2(0, 0));  // current starts at (0, 0), not restarted
    slide->restart();
    slide->step();
    slide->active = false;
    EXPECT_EQ(slide->step(), glm::vec2(0, 4));
}
