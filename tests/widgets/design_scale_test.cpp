// Growing with the window: scaled lengths, icon-sized widgets, image buttons, font and
// image variants, by window width.
#include <gtest/gtest.h>

#include "widget_test_support.h"
#include "widgets/design_scale.h"
#include "widgets/icon_font_variants.h"
#include "widgets/icon_text.h"

TEST(DesignScale, ShippedConfigurationGivesTheDesignCanvas) {
    const DesignScale scale = DesignScale::fromConfig();
    EXPECT_EQ(scale.defaultWindowSize, glm::ivec2(1152, 648));
    EXPECT_EQ(scale.designCanvasWidth, 1920);
}

TEST(DesignScale, RulesByWindowSize) {
    struct Case {
        glm::ivec2 window;
        glm::ivec2 imageButton;  // design 180 x 77
        glm::ivec2 iconWidget;   // point size 50
        bool largeImage;
        bool background1080;
        bool largeIconFont;
    };
    const Case cases[] = {
        {{1152, 648}, {180, 77}, {50, 50}, false, false, false},
        {{1152, 600}, {180, 77}, {50, 46}, false, false, false},  // sx = 1: design size
        {{1153, 600}, {180, 71}, {50, 46}, true, false, false},   // sx > 1: scaled, both axes
        {{1280, 720}, {200, 85}, {55, 55}, true, false, false},
        {{1281, 720}, {200, 85}, {55, 55}, true, true, false},
        {{1919, 1080}, {299, 128}, {83, 83}, true, true, false},
        {{1920, 1080}, {300, 128}, {83, 83}, true, true, true},
        {{800, 450}, {180, 77}, {34, 34}, false, false, false},   // smaller: never shrinks
    };
    const DesignScale scale;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window.x << " x " << c.window.y);
        EXPECT_EQ(scale.imageButtonSize({180, 77}, c.window), c.imageButton);
        EXPECT_EQ(scale.iconWidgetSize(50, c.window), c.iconWidget);
        EXPECT_EQ(scale.useLargeImage(c.window), c.largeImage);
        EXPECT_EQ(useBackground1080(c.window), c.background1080);
        EXPECT_EQ(scale.useLargeIconFont(c.window), c.largeIconFont);
    }
}

TEST(DesignScale, LargeFontPointSizeFollowsTheDisplayWidth) {
    const DesignScale scale;
    EXPECT_EQ(scale.largeFontPointSize(50, 1920), 83);
    EXPECT_EQ(scale.largeFontPointSize(50, 1152), 50);
    EXPECT_EQ(scale.largeFontPointSize(12, 2560), 26);
    EXPECT_EQ(scaledLength(77, 1.0f), 77);
    EXPECT_EQ(scaledLength(77, 0.99f), 76);  // toward zero
}

TEST(IconFontVariants, NormalBelowTheCanvasWidthLargeFromIt) {
    const std::string path = textFontPath();
    if (path.empty()) GTEST_SKIP() << "no font installed";
    const DesignScale scale;
    IconFontVariants fonts;
    fonts.open(path, 20, scale, 1920);
    ASSERT_NE(fonts.normalFont, nullptr);
    ASSERT_NE(fonts.scaledFont, nullptr);
    EXPECT_EQ(fonts.scaledPointSize, 33);
    EXPECT_EQ(fonts.fontFor({1919, 1080}, scale), fonts.normalFont);
    EXPECT_EQ(fonts.fontFor({1920, 1080}, scale), fonts.scaledFont);

    // The glyph is rebuilt with the chosen font and grows with it.
    SoftwareCanvas canvas(100, 100);
    auto glyph = iconText::create(fonts.fontFor({1152, 648}, scale), 'A', canvas.renderer,
                                  {0, 0, 0, 255}, {7, 9});
    const int normalHeight = glyph->rect.h;
    glyph->setFont(fonts.fontFor({1920, 1080}, scale));
    EXPECT_GT(glyph->rect.h, normalHeight);
    EXPECT_EQ(glyph->rect.x, 7);
    EXPECT_EQ(glyph->rect.y, 9);
}

TEST(IconFontVariants, MissingFontFileLeavesGlyphsEmpty) {
    const DesignScale scale;
    IconFontVariants fonts;
    fonts.open("./font/no-such-font.ttf", 20, scale, 1920);
    EXPECT_EQ(fonts.fontFor({1920, 1080}, scale), nullptr);
    SoftwareCanvas canvas(10, 10);
    auto glyph = iconText::create(fonts.normalFont, 0xE809, canvas.renderer, {0, 0, 0, 255}, {1, 1});
    EXPECT_EQ(glyph->texture, nullptr);
    EXPECT_EQ(glyph->rect.w, 0);
    EXPECT_EQ(glyph->rect.h, 0);
    glyph->draw();
}
