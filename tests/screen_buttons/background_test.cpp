// The window background: the picture for the window's width, and never a press.
#include <gtest/gtest.h>

#include "config/json_base.h"
#include "widget_test_support.h"
#include "widgets/main_background.h"
#include "widgets/widget_list.h"

TEST(MainBackground, The1080PictureIsForWindowsWiderThan1280) {
    SoftwareCanvas canvas(1300, 700);
    mainBackground background(canvas.renderer, {1152, 648}, {0, 0},
                              otherText("MAIN_BACKGROUND720"), otherText("MAIN_BACKGROUND1080"));
    ASSERT_NE(background.image720, nullptr);
    EXPECT_EQ(background.image1080, nullptr) << "the 1080 picture is made only when needed";
    EXPECT_EQ(background.current, background.image720);
    struct Case {
        int width;
        bool large;
    };
    for (const Case c : {Case{1280, false}, Case{1281, true}, Case{1152, false}, Case{1920, true}}) {
        background.resize({c.width, 700});
        EXPECT_EQ(background.current, c.large ? background.image1080 : background.image720) << c.width;
        EXPECT_NE(background.current, nullptr) << c.width;
        EXPECT_EQ(background.rect.w, c.width);
        EXPECT_EQ(background.rect.h, 700);
    }
}

TEST(MainBackground, CoversTheWindowAndNeverTakesAPress) {
    SoftwareCanvas canvas(1152, 648);
    auto background = std::make_shared<mainBackground>(
        canvas.renderer, glm::ivec2{1152, 648}, glm::ivec2{0, 0},
        otherText("MAIN_BACKGROUND720"), otherText("MAIN_BACKGROUND1080"));
    auto behind = std::make_shared<ButtonBase>(nullptr, glm::ivec2{1152, 648}, glm::ivec2{0, 0});
    const WidgetList list{background, behind};
    for (const glm::ivec2 point : {glm::ivec2{1, 1}, glm::ivec2{576, 324}, glm::ivec2{1150, 646}}) {
        EXPECT_FALSE(background->isInside(point));
        EXPECT_EQ(pressWidgets(list, point), behind);
    }
    EXPECT_FALSE(pointerOverWidget({background}, {576, 324}));

    // The header band is opaque white: drawn over any colour it is white.
    canvas.clear({10, 20, 30, 255});
    background->render();
    EXPECT_EQ(canvas.pixel(600, 40), (Rgba{255, 255, 255, 255}));
    // Missing pictures draw nothing.
    mainBackground missing(canvas.renderer, {1152, 648}, {0, 0}, "./image/none.png", "");
    canvas.clear({10, 20, 30, 255});
    missing.render();
    EXPECT_EQ(canvas.countDiffering({0, 0, 1152, 648}, Rgba{10, 20, 30, 255}), 0);
}
