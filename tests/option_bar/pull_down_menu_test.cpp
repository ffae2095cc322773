// The pull-down menu and the caption image on a software canvas: slice layout, the rows'
// drop and geometry, strict hit testing, a press that closes an open list, re-selection,
// the header fade under the pointer.
#include <gtest/gtest.h>

#include <vector>

#include "option_bar_support.h"
#include "widget_test_support.h"
#include "widgets/image_layer.h"
#include "widgets/pull_down_menu.h"

using optionbar::centre;

namespace {

constexpr int leftSliceWidth = 8, middleSliceWidth = 4, rightSliceWidth = 22;

class PullDownMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = textFontPath();
        if (path.empty()) GTEST_SKIP() << "no font installed";
        font = TTF_OpenFont(path.c_str(), 20);
        ASSERT_NE(font, nullptr) << TTF_GetError();
    }
    void TearDown() override {
        menu.reset();
        if (font) TTF_CloseFont(font);
    }

    // A menu with rows "a" .. and its selections recorded.
    void makeMenu(glm::ivec2 size, glm::ivec2 position, glm::ivec2 rowSize, int rows) {
        menu = PullDownMenu::create(canvas.renderer, size, position, rowSize, font);
        for (int i = 0; i < rows; ++i) menu->addOption(std::string("行") + std::to_string(i));
        menu->showSelection(0);
        menu->enabled = true;
        menu->onSelect = [this](unsigned char index) { picked.push_back(index); };
    }

    // Opens the list and lets every row finish its drop.
    void openAndSettle() {
        ASSERT_TRUE(menu->onPress(centre(menu->rect)));
        ASSERT_TRUE(menu->expanded);
        for (auto& row : menu->options)
            while (row->slide->active) row->slide->step();
        menu->render();
    }

    SoftwareCanvas canvas{1152, 648};
    TTF_Font* font = nullptr;
    std::shared_ptr<PullDownMenu> menu;
    std::vector<unsigned char> picked;
};

}  // namespace

TEST_F(PullDownMenuTest, SlicesCoverTheHeaderAndFollowMovesAndResizes) {
    struct Case {
        glm::ivec2 size, position;
        int expectedWidth;
    } cases[] = {
        {{154, 36}, {936, 36}, 154},  // the shipped output menu
        {{63, 36}, {675, 36}, 63},    // the shipped 3D menu
        {{10, 36}, {100, 20}, leftSliceWidth + middleSliceWidth + rightSliceWidth},  // widened
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedWidth);
        makeMenu(c.size, c.position, {90, 27}, 2);
        const SDL_Rect& r = menu->rect;
        EXPECT_EQ(r.w, c.expectedWidth);
        EXPECT_EQ(menu->leftRect.x, r.x);
        EXPECT_EQ(menu->leftRect.w, leftSliceWidth);
        EXPECT_EQ(menu->middleRect.x, r.x + leftSliceWidth);
        EXPECT_EQ(menu->middleRect.w, r.w - leftSliceWidth - rightSliceWidth);
        EXPECT_EQ(menu->rightRect.x, r.x + r.w - rightSliceWidth);
        EXPECT_EQ(menu->rightRect.w, rightSliceWidth);
        for (const SDL_Rect* slice : {&menu->leftRect, &menu->middleRect, &menu->rightRect}) {
            EXPECT_EQ(slice->y, r.y);
            EXPECT_EQ(slice->h, r.h);
        }
        EXPECT_EQ(menu->header->rect.x, c.position.x + 5);
        EXPECT_EQ(menu->header->rect.y, c.position.y + 2);
    }

    makeMenu({63, 36}, {675, 36}, {90, 27}, 2);
    menu->resize({120, 40});
    EXPECT_EQ(menu->rightRect.x, 675 + 120 - rightSliceWidth);
    EXPECT_EQ(menu->middleRect.h, 40);
    menu->setPosition({10, 5});
    EXPECT_EQ(menu->leftRect.x, 10);
    EXPECT_EQ(menu->rightRect.x, 10 + 120 - rightSliceWidth);
    EXPECT_EQ(menu->rightRect.y, 5);
    EXPECT_EQ(menu->header->rect.x, 675 + 5);  // the header text is not moved
}

TEST_F(PullDownMenuTest, RowsDropFromBelowTheHeaderIntoAColumn) {
    makeMenu({63, 36}, {675, 36}, {90, 27}, 4);
    for (auto& row : menu->options) {
        EXPECT_EQ(row->rect.x, 0);  // nowhere until the menu first opens
        EXPECT_EQ(row->rect.y, 0);
    }
    ASSERT_TRUE(menu->onPress(centre(menu->rect)));
    menu->render();
    // Just opened: every row starts one row height and 15 pixels below the menu's top.
    for (auto& row : menu->options) EXPECT_EQ(row->rect.y, 36 + 27 + 15);

    for (auto& row : menu->options)
        while (row->slide->active) row->slide->step();
    menu->render();
    for (std::size_t i = 0; i < menu->options.size(); ++i) {
        const SDL_Rect& r = menu->options[i]->rect;
        EXPECT_EQ(r.x, 675);
        EXPECT_EQ(r.y, 36 + 27 + 15 + int(i) * 28) << "row " << i;
        EXPECT_EQ(r.w, 90);
        EXPECT_EQ(r.h, 27);
    }
    // Reopening restarts the drop.
    ASSERT_TRUE(menu->onPress({0, 0}));
    ASSERT_TRUE(menu->onPress(centre(menu->rect)));
    menu->render();
    EXPECT_EQ(menu->options[3]->rect.y, 78);
}

TEST_F(PullDownMenuTest, DrawingOftenDoesNotSpeedTheDropUp) {
    // The drop goes at six pixels per frame of a 60 Hz clock however often the menu is drawn:
    // the screen draws the option bar twice per frame.
    makeMenu({63, 36}, {675, 36}, {90, 27}, 11);
    const Uint32 before = SDL_GetTicks();
    ASSERT_TRUE(menu->onPress(centre(menu->rect)));
    for (int i = 0; i < 200; ++i) menu->render();
    const Uint32 elapsed = SDL_GetTicks() - before;
    const int frames = int(elapsed * 60 / 1000) + 1;
    EXPECT_LE(menu->options[10]->rect.y - 78, 6 * frames) << elapsed << " ms";
}

TEST_F(PullDownMenuTest, PressesOnAnOpenListAlwaysCloseIt) {
    makeMenu({63, 36}, {675, 36}, {90, 27}, 3);
    openAndSettle();
    EXPECT_TRUE(menu->isBlocking());

    // Outside every row: closed, consumed, selection unchanged, nobody told.
    EXPECT_TRUE(menu->onPress({20, 600}));
    EXPECT_FALSE(menu->expanded);
    EXPECT_FALSE(menu->isBlocking());
    EXPECT_EQ(menu->selectedIndex, 0);
    EXPECT_TRUE(picked.empty());

    // A row's exact top-left corner pixel is outside it.
    openAndSettle();
    const SDL_Rect row2 = menu->options[2]->rect;
    EXPECT_TRUE(menu->onPress({row2.x, row2.y}));
    EXPECT_FALSE(menu->expanded);
    EXPECT_TRUE(picked.empty());

    // One pixel inside picks it; the header shows it.
    openAndSettle();
    EXPECT_TRUE(menu->onPress({row2.x + 1, row2.y + 1}));
    EXPECT_EQ(menu->selectedIndex, 2);
    EXPECT_TRUE(menu->options[2]->selected);
    EXPECT_FALSE(menu->options[0]->selected);
    EXPECT_EQ(menu->header->text, "行2");

    // The same row again is reported again.
    openAndSettle();
    EXPECT_TRUE(menu->onPress(centre(menu->options[2]->rect)));
    EXPECT_EQ(picked, (std::vector<unsigned char>{2, 2}));
}

TEST_F(PullDownMenuTest, ADisabledMenuAnswersItsHeaderButStaysClosed) {
    makeMenu({63, 36}, {675, 36}, {90, 27}, 3);
    menu->enabled = false;
    EXPECT_TRUE(menu->onPress(centre(menu->rect)));
    EXPECT_FALSE(menu->expanded);
    EXPECT_FALSE(menu->onPress({5, 5}));
    EXPECT_FALSE(menu->onPress({675, 36}));  // the header's corner

    // Disabled while open (the source went away): the next press closes the list instead of
    // leaving it open for good.
    menu->enabled = true;
    openAndSettle();
    menu->enabled = false;
    menu->onPress({5, 5});
    EXPECT_FALSE(menu->expanded);
    EXPECT_FALSE(menu->isBlocking());
}

TEST_F(PullDownMenuTest, HeaderFadesUnderThePointerOnlyWhileClosed) {
    makeMenu({154, 36}, {936, 36}, {144, 27}, 2);
    auto draw = [&] {
        canvas.clear({255, 255, 255, 255});
        menu->render();
    };
    // The darkest pixel of the header's slices is where the fade shows best.
    draw();
    glm::ivec2 probe{0, 0};
    int darkest = 3 * 255;
    for (int y = menu->rect.y; y < menu->rect.y + menu->rect.h; ++y)
        for (int x = menu->rect.x; x < menu->header->rect.x; ++x) {
            const Rgba p = canvas.pixel(x, y);
            if (p.r + p.g + p.b < darkest) {
                darkest = p.r + p.g + p.b;
                probe = {x, y};
            }
        }
    ASSERT_LT(darkest, 3 * 240) << "the header slices draw nothing";
    auto pixelAfterDraw = [&] {
        draw();
        return canvas.pixel(probe.x, probe.y);
    };
    const Rgba normal = pixelAfterDraw();
    const glm::ivec2 inside = centre(menu->rect);

    EXPECT_FALSE(menu->isInside(inside));  // never asks for the hand cursor
    EXPECT_TRUE(menu->hovered);
    const Rgba faded = pixelAfterDraw();
    // At alpha 64 a quarter of the slice shows over white.
    EXPECT_GT(faded.r + faded.g + faded.b, normal.r + normal.g + normal.b);
    EXPECT_NEAR(faded.r, 255 - (255 - normal.r) * 64 / 255, 2);

    EXPECT_FALSE(menu->isInside({5, 5}));
    EXPECT_FALSE(menu->hovered);

    openAndSettle();
    menu->isInside(inside);
    EXPECT_FALSE(menu->hovered);
    EXPECT_TRUE(menu->isBlocking());
    const auto row = menu->options[1];
    menu->isInside(centre(row->rect));
    EXPECT_TRUE(row->hovered);
    canvas.clear({255, 255, 255, 255});
    menu->render();
    EXPECT_EQ(canvas.pixel(row->rect.x + row->rect.w - 2, row->rect.y + 1),
              rgba(menu->optionColors.hover));
    EXPECT_EQ(canvas.pixel(menu->options[0]->rect.x + menu->options[0]->rect.w - 2,
                           menu->options[0]->rect.y + 1),
              rgba(menu->optionColors.selected));
}

TEST(ImageLayerTest, SizeIsReadAsHeightThenWidth) {
    SoftwareCanvas canvas(400, 200);
    canvas.clear({255, 255, 255, 255});
    const std::string path = writeSolidPng("caption.png", 100, 36, {255, 0, 0, 255});
    auto layer = ImageLayer::create(canvas.renderer, {36, 100}, {50, 40}, path);
    EXPECT_EQ(layer->rect.w, 100);
    EXPECT_EQ(layer->rect.h, 36);
    layer->render();
    const Rgba red{255, 0, 0, 255}, white{255, 255, 255, 255};
    EXPECT_EQ(canvas.pixel(50, 40), red);
    EXPECT_EQ(canvas.pixel(149, 75), red);
    EXPECT_EQ(canvas.pixel(150, 40), white);
    EXPECT_EQ(canvas.pixel(50, 76), white);

    layer->resize({10, 10});  // only the hit area
    layer->setPosition({200, 100});
    canvas.clear({255, 255, 255, 255});
    layer->render();
    EXPECT_EQ(canvas.pixel(299, 135), red);
    EXPECT_EQ(layer->rect.x, 200);

    auto missing = ImageLayer::create(canvas.renderer, {36, 100}, {0, 0}, "./image/none.png");
    EXPECT_EQ(missing->texture, nullptr);
    canvas.clear({255, 255, 255, 255});
    missing->render();
    EXPECT_EQ(canvas.countDiffering({0, 0, 100, 36}, white), 0);
}
