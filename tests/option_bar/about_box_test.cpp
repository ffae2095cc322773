// The About box through the message-box seam, and text drawn in the layout's text colour.
#include <gtest/gtest.h>

#include <vector>

#include "config/json_base.h"
#include "platform/message_box.h"
#include "widget_test_support.h"
#include "widgets/about_button.h"
#include "widgets/text_base.h"

namespace {

using kalo::platform::MessageBoxRequest;

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kalo::platform::setMessageBoxHandler([this](const MessageBoxRequest& request) {
            shown.push_back(request);
            return -1;  // closed with the window's close control
        });
    }
    void TearDown() override { kalo::platform::setMessageBoxHandler(previous); }

    kalo::platform::MessageBoxHandler previous;
    std::vector<MessageBoxRequest> shown;
};

}  // namespace

TEST_F(AboutBoxTest, ShowsVersionAndRightsTheSameEveryTime) {
    auto about = std::make_shared<AboutButton>();  // as the converter screen keeps it
    about->showAbout();
    about->showAbout();
    ASSERT_EQ(shown.size(), 2u);
    const std::string expected = "版本信息: 1.2.0\n版权信息: © 2026 KALO. 保留所有权利。\n";
    for (const auto& request : shown) {
        EXPECT_EQ(request.text, expected);
        EXPECT_EQ(request.title, "关于 KALO");
        EXPECT_EQ(request.kind, kalo::platform::MessageBoxKind::Information);
        ASSERT_EQ(request.buttons.size(), 1u);
        EXPECT_EQ(request.buttons[0].id, 1);
        EXPECT_EQ(request.buttons[0].text, "关闭");
        EXPECT_FALSE(request.buttons[0].returnKeyDefault);
        EXPECT_FALSE(request.buttons[0].escapeKeyDefault);
    }
    EXPECT_EQ(about->aboutText, expected);
}

TEST_F(AboutBoxTest, AnEmptyRightsNoticeLeavesItsLabelAlone) {
    auto& other = uiConfig->document["PARAM_OTHER"];
    const auto saved = other["KALO_COPYRIGHT"];
    other["KALO_COPYRIGHT"] = "";
    auto about = AboutButton::create(nullptr, {0, 0}, {0, 0}, {0, 0});
    about->showAbout();
    other["KALO_COPYRIGHT"] = saved;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "版本信息: 1.2.0\n版权信息: \n");
}

TEST_F(AboutBoxTest, APressInsideShowsTheBoxAndAMissDoesNot) {
    auto about = AboutButton::create(nullptr, {100, 40}, {10, 10}, {0, 0});
    EXPECT_FALSE(about->onPress({10, 10}));  // the corner is outside
    EXPECT_FALSE(about->active);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(about->onPress({50, 30}));
    EXPECT_TRUE(about->active);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(about->typeId() == typeid(AboutButton*));
    listOfComButton& entry = *about;
    EXPECT_TRUE(entry.typeId() == typeid(AboutButton*));
}

TEST(TextColour, TextIgnoresItsColoursAlphaLikeTheLayoutsFontLibrary) {
    // The layout's text colour "#000000" reads as alpha 0; its texts were made for a font
    // library that drew glyphs opaque whatever the alpha. Every alpha must draw the same
    // pixels as the opaque colour.
    const std::string path = textFontPath();
    if (path.empty()) GTEST_SKIP() << "no font installed";
    TTF_Font* font = TTF_OpenFont(path.c_str(), 20);
    ASSERT_NE(font, nullptr);
    const SDL_Color textColour = otherColor("KALO_TEXTCOL");
    EXPECT_EQ(textColour.a, 0);  // the configuration's colour rule is unchanged

    SoftwareCanvas reference(200, 60), canvas(200, 60);
    reference.clear({255, 255, 255, 255});
    auto opaque = pureText::create(font, reference.renderer, {0, 0, 0, 255}, "输出文件夹", {10, 10});
    opaque->draw();
    ASSERT_GT(reference.countDiffering(opaque->rect, {255, 255, 255, 255}), 30);

    for (const SDL_Color colour : {textColour, SDL_Color{0, 0, 0, 128}}) {
        SCOPED_TRACE(int(colour.a));
        canvas.clear({255, 255, 255, 255});
        auto text = pureText::create(font, canvas.renderer, colour, "输出文件夹", {10, 10});
        text->draw();
        EXPECT_EQ(text->color.a, colour.a);  // the text keeps the colour it was given
        int differing = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x)
                if (!(canvas.pixel(x, y) == reference.pixel(x, y))) ++differing;
        EXPECT_EQ(differing, 0);
    }
    opaque.reset();
    TTF_CloseFont(font);
}
