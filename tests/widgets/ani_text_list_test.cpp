// The message list: lines slide in above the bottom edge, older lines move up, at most
// eight stay, and a resize re-anchors them to the new bottom edge.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "widget_test_support.h"
#include "widgets/ani_text_list.h"

namespace {

class MessageList : public ::testing::Test {
protected:
    void SetUp() override {
        list = std::make_unique<MainUIAniTextList>(canvas.renderer, nullptr, textFontPath());
        list->relayout({1152, 648});
    }
    std::vector<int> lineYs() const {
        std::vector<int> ys;
        for (const auto& line : list->lines) ys.push_back(line->rect.y);
        return ys;
    }
    void renderFrames(int n) {
        for (int i = 0; i < n; ++i) list->render();
    }
    SoftwareCanvas canvas{400, 648};
    std::unique_ptr<MainUIAniTextList> list;
};

}  // namespace

TEST_F(MessageList, ThreeMessagesInOneFrameSlideTogetherOldestHighest) {
    list->addText("one");
    list->addText("two");
    list->addText("three");
    ASSERT_EQ(list->lines.size(), 3u);
    // y0 = 648 - 130 = 518; every slide restarted from its start and stepped 4 pixels.
    list->render();
    EXPECT_EQ(lineYs(), (std::vector<int>{474, 494, 514}));
    EXPECT_FALSE(list->restart);
    for (const auto& line : list->lines) EXPECT_EQ(line->rect.x, 20);
    renderFrames(5);
    EXPECT_EQ(lineYs(), (std::vector<int>{458, 478, 498})) << "newest rests 150 above the bottom";
    for (const auto& slide : list->slides) EXPECT_FALSE(slide->active);
}

TEST_F(MessageList, NineLinesDrawNineThenEight) {
    for (int i = 0; i < 9; ++i) list->addText("line " + std::to_string(i));
    const auto oldest = list->lines.front();
    const int oldestBefore = oldest->rect.y;
    list->render();
    EXPECT_NE(oldest->rect.y, oldestBefore) << "the oldest line was still drawn this frame";
    ASSERT_EQ(list->lines.size(), 8u);
    EXPECT_EQ(list->slides.size(), 8u);
    EXPECT_EQ(list->lines.front()->text, "line 1");
    list->render();
    EXPECT_EQ(list->lines.size(), 8u);
    list->addText("line 9");
    list->render();
    EXPECT_EQ(list->lines.size(), 8u);
    EXPECT_EQ(list->lines.front()->text, "line 2");
    EXPECT_EQ(list->lines.back()->text, "line 9");
}

TEST_F(MessageList, RelayoutReanchorsToTheNewBottomAndReplaysTheLastSlide) {
    list->addText("older");
    list->addText("newer");
    renderFrames(6);
    EXPECT_EQ(lineYs(), (std::vector<int>{478, 498}));

    list->relayout({1280, 720});
    // newest: start 590, target 570; older: start 570, target 550; placed at their targets.
    EXPECT_EQ(lineYs(), (std::vector<int>{550, 570}));
    EXPECT_EQ(list->slides[1]->current, glm::vec2(20, 590));
    EXPECT_TRUE(list->slides[0]->active);
    list->render();
    EXPECT_EQ(lineYs(), (std::vector<int>{566, 586}));
    renderFrames(5);
    EXPECT_EQ(lineYs(), (std::vector<int>{550, 570}));
    EXPECT_EQ(list->lines[0]->text, "older");

    list->addText("after resize");  // new lines use the new window height
    renderFrames(6);
    EXPECT_EQ(lineYs(), (std::vector<int>{530, 550, 570}));
}

TEST_F(MessageList, DrawsATranslucentBandUnderEachLine) {
    if (!list->font) GTEST_SKIP() << "no font installed";
    list->addText("消息");
    renderFrames(6);
    canvas.clear({200, 200, 200, 255});  // the screen clears before every frame
    list->render();
    const SDL_Rect band = list->lines[0]->rect;
    ASSERT_GT(band.w, 0);
    // Black at alpha 64 over grey 200: 200 * 191 / 255 = 149 or so, in the band's corner.
    const Rgba corner = canvas.pixel(band.x, band.y);
    EXPECT_NEAR(corner.r, 150, 2);
    EXPECT_EQ(canvas.pixel(band.x - 1, band.y), (Rgba{200, 200, 200, 255}));
    EXPECT_GT(canvas.countDiffering(band, corner), 10) << "white text over the band";
}

TEST(MessageListWithoutFont, LinesHaveNoSizeAndNothingIsDrawn) {
    SoftwareCanvas canvas(200, 300);
    canvas.clear({200, 200, 200, 255});
    MainUIAniTextList list(canvas.renderer, nullptr, "./font/missing.otf");
    EXPECT_EQ(list.font, nullptr);
    list.relayout({200, 300});
    list.addText("x");
    list.render();
    EXPECT_EQ(list.lines[0]->rect.w, 0);
    EXPECT_EQ(canvas.countDiffering({0, 0, 200, 300}, {200, 200, 200, 255}), 0);
}
