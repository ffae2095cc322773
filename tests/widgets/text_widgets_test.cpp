// Text textures: size from the rendered text, one space for an empty text, position kept
// across setText, nothing drawn without a font.
#include <gtest/gtest.h>

#include <memory>

#include "widget_test_support.h"
#include "widgets/icon_text.h"
#include "widgets/text_base.h"

namespace {

class TextWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = textFontPath();
        if (path.empty()) GTEST_SKIP() << "no font installed";
        font = TTF_OpenFont(path.c_str(), 16);
        ASSERT_NE(font, nullptr) << TTF_GetError();
    }
    void TearDown() override {
        if (font) TTF_CloseFont(font);
    }
    TTF_Font* font = nullptr;
    SoftwareCanvas canvas{200, 60};
};

}  // namespace

TEST_F(TextWidgets, EmptyTextIsOneSpaceWideAndSetTextKeepsThePosition) {
    int spaceWidth = 0, spaceHeight = 0;
    ASSERT_EQ(TTF_SizeUTF8(font, " ", &spaceWidth, &spaceHeight), 0);
    ASSERT_GT(spaceWidth, 0);

    auto text = pureText::create(font, canvas.renderer, {0, 0, 0, 255}, "", {5, 6});
    EXPECT_NE(text->texture, nullptr);
    EXPECT_EQ(text->rect.w, spaceWidth);
    EXPECT_EQ(text->rect.h, spaceHeight);

    text->setPosition({40, 12});
    text->setText("转换完毕! 42%");
    int width = 0, height = 0;
    TTF_SizeUTF8(font, "转换完毕! 42%", &width, &height);
    EXPECT_EQ(text->rect.w, width);
    EXPECT_GT(text->rect.w, spaceWidth * 4);
    EXPECT_EQ(text->rect.x, 40);
    EXPECT_EQ(text->rect.y, 12);

    text->setText("");
    EXPECT_EQ(text->rect.w, spaceWidth);
    EXPECT_EQ(text->rect.x, 40);
    EXPECT_EQ(text->rect.y, 12);
    EXPECT_EQ(text->text, "");
}

TEST_F(TextWidgets, DrawsItsTextureAtItsRectangleOnly) {
    canvas.clear({255, 255, 255, 255});
    auto text = TextBase::create(font, canvas.renderer, {0, 0, 0, 255}, "KALO 3D", {30, 10});
    text->draw();
    const Rgba white{255, 255, 255, 255};
    EXPECT_GT(canvas.countDiffering(text->rect, white), 20);
    EXPECT_EQ(canvas.countDiffering({0, 0, 30, 60}, white), 0);
    EXPECT_EQ(canvas.countDiffering({text->rect.x + text->rect.w, 0, 5, 60}, white), 0);
}

TEST_F(TextWidgets, IconGlyphIsRenderedFromItsCodeUnit) {
    canvas.clear({0, 0, 0, 255});
    auto glyph = iconText::create(font, 0x8F6C /* 转 */, canvas.renderer, {255, 255, 255, 255},
                                  {3, 4});
    ASSERT_NE(glyph->texture, nullptr);
    EXPECT_GT(glyph->rect.w, 0);
    glyph->setPosition({50, 20});
    glyph->draw();
    EXPECT_GT(canvas.countDiffering(glyph->rect, {0, 0, 0, 255}), 10);
    EXPECT_EQ(canvas.countDiffering({0, 0, 50, 60}, {0, 0, 0, 255}), 0);
}

TEST(TextWithoutFont, HasNoTextureNoSizeAndDrawsNothing) {
    SoftwareCanvas canvas(40, 40);
    canvas.clear({255, 255, 255, 255});
    auto text = pureText::create(nullptr, canvas.renderer, {0, 0, 0, 255}, "abc", {2, 3});
    EXPECT_EQ(text->texture, nullptr);
    EXPECT_EQ(text->rect.w, 0);
    EXPECT_EQ(text->rect.h, 0);
    text->setText("");
    text->draw();
    EXPECT_EQ(canvas.countDiffering({0, 0, 40, 40}, {255, 255, 255, 255}), 0);
}
