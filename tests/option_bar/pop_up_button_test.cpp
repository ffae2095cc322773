// The option bar with the shipped layout and option tables, a real media engine and the
// process-wide job record and profile: the menus work only with a source open, a press
// before that shows the notice and travels on, every press writes the profile, a pick
// reaches the job record and the preview.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "config/user_setting.h"
#include "conversion/windows_manager.h"
#include "option_bar_support.h"
#include "player/filter_image.h"
#include "screen/pop_up_button.h"
#include "widget_test_support.h"
#include "widgets/widget_list.h"

using optionbar::centre;

namespace {

int profileChoice(int kind) { return userSetting->getOption(UserSetting::sectionName, kind); }

class PopUpButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (textFontPath().empty()) GTEST_SKIP() << "no font installed";
        optionbar::resetProcessRecords();
        engine = std::make_shared<FFmpegHelper>();
    }
    void TearDown() override {
        bar.reset();
        if (engine) engine->waitForFilterBuilds();
        engine.reset();
    }

    void makeBar() {
        bar = PopUpButton::create(canvas.renderer, {31, 31}, {1456, 808}, engine);
    }
    void openSource() {
        engine = optionbar::openedEngine(canvas.renderer);
        makeBar();
    }
    PullDownMenu& menu(std::size_t i) { return *bar->menus.at(i); }
    // Lets the rows of every open list finish their drop.
    void settle() {
        for (auto& m : bar->menus)
            for (auto& row : m->options)
                while (row->slide->active) row->slide->step();
        bar->render();
    }
    // Opens list `i` and presses its row `row`.
    void pick(std::size_t i, std::size_t row) {
        ASSERT_TRUE(bar->onPress(centre(menu(i).rect)));
        ASSERT_TRUE(menu(i).expanded);
        settle();
        ASSERT_TRUE(bar->onPress(centre(menu(i).options.at(row)->rect)));
        ASSERT_FALSE(menu(i).expanded);
    }
    bool noticeDrawn() {
        canvas.clear({255, 255, 255, 255});
        bar->render();
        return canvas.pixel(bar->info->rect.x + 1, bar->info->rect.y + 1) ==
               rgba(PopUpButton::infoBackground);
    }

    SoftwareCanvas canvas{1152, 648};
    std::shared_ptr<FFmpegHelper> engine;
    std::shared_ptr<PopUpButton> bar;
};

}  // namespace

TEST_F(PopUpButtonTest, ShippedLayoutTablesAndHeaders) {
    makeBar();
    ASSERT_EQ(bar->captions.size(), 3u);
    ASSERT_EQ(bar->menus.size(), 3u);
    const SDL_Rect captions[] = {{295, 36, 100, 36}, {575, 36, 100, 36}, {846, 36, 90, 32}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bar->captions[i]->dest.x, captions[i].x);
        EXPECT_EQ(bar->captions[i]->dest.y, captions[i].y);
        EXPECT_EQ(bar->captions[i]->dest.w, captions[i].w);
        EXPECT_EQ(bar->captions[i]->dest.h, captions[i].h);
        EXPECT_NE(bar->captions[i]->texture, nullptr) << "caption " << i;
    }
    // The filter menu is as wide as its widest label (measured as the UTF-8 text it is) plus
    // 30, and 40 high; the other two keep their configured header size.
    int widest = 0;
    for (const auto& row : filterTable) {
        int w = 0;
        TTF_SizeUTF8(bar->font, row.second.c_str(), &w, nullptr);
        widest = std::max(widest, w);
    }
    ASSERT_GT(widest, 0);
    const SDL_Rect menus[] = {{396, 36, widest + 30, 40}, {675, 36, 63, 36}, {936, 36, 154, 36}};
    const glm::ivec2 rows[] = {{90, 27}, {90, 27}, {144, 27}};
    const std::size_t counts[] = {filterTable.size(), modeTable.size(), outputTable.size()};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(menu(i).rect.x, menus[i].x);
        EXPECT_EQ(menu(i).rect.y, menus[i].y);
        EXPECT_EQ(menu(i).rect.w, menus[i].w);
        EXPECT_EQ(menu(i).rect.h, menus[i].h);
        ASSERT_EQ(menu(i).options.size(), counts[i]);
        ASSERT_GT(counts[i], 1u);
        EXPECT_EQ(menu(i).options[0]->rect.w, rows[i].x);
        EXPECT_EQ(menu(i).options[0]->rect.h, rows[i].y);
        EXPECT_EQ(menu(i).selectedIndex, 0);
        EXPECT_TRUE(menu(i).options[0]->selected);
    }
    EXPECT_EQ(menu(0).header->text, "无滤镜");
    EXPECT_EQ(menu(1).header->text, modeTable[0].first);
    EXPECT_EQ(menu(2).options[1]->text, "1080P 低画质");  // converted from the wide table
    // Every filter label fits in its header, left of the arrow slice.
    for (const auto& row : filterTable) {
        int w = 0;
        TTF_SizeUTF8(bar->font, row.second.c_str(), &w, nullptr);
        EXPECT_LE(menu(0).header->rect.x + w, menu(0).rightRect.x) << row.second;
    }
    EXPECT_EQ(bar->info->text, "请先选择文件");
}

TEST_F(PopUpButtonTest, WithoutASourceAPressShowsTheNoticeAndTravelsOn) {
    makeBar();
    userSetting->setOption(UserSetting::sectionName, 2, 7);
    auto behind = std::make_shared<ButtonBase>(canvas.renderer, glm::ivec2{1152, 648},
                                               glm::ivec2{0, 0});
    const WidgetList widgets{bar, behind};
    const glm::ivec2 press = centre(menu(0).rect);

    EXPECT_EQ(pressWidgets(widgets, press), behind);
    EXPECT_FALSE(menu(0).expanded);
    EXPECT_FALSE(bar->isBlocking());
    EXPECT_TRUE(bar->infoVisible);
    EXPECT_EQ(bar->info->rect.x, press.x);
    EXPECT_EQ(bar->info->rect.y, press.y - 40);
    EXPECT_EQ(profileChoice(2), 0);  // the bar rewrote all three choices

    // The notice stays for 2000 ms and goes on the first frame after that.
    EXPECT_TRUE(noticeDrawn());
    bar->infoShownAt = SDL_GetTicks() - 1500;
    EXPECT_TRUE(noticeDrawn());
    EXPECT_TRUE(bar->infoVisible);
    bar->infoShownAt = SDL_GetTicks() - 2001;
    EXPECT_TRUE(noticeDrawn());  // the frame that finds it expired still draws it
    EXPECT_FALSE(bar->infoVisible);
    EXPECT_FALSE(noticeDrawn());

    // A press away from the headers shows nothing; hovering changes nothing.
    EXPECT_FALSE(bar->onPress({600, 400}));
    EXPECT_FALSE(bar->infoVisible);
    EXPECT_FALSE(bar->isInside(centre(menu(1).rect)));
    EXPECT_FALSE(menu(1).hovered);
}

TEST_F(PopUpButtonTest, OpenListsTakeEveryPressAndBlockTheHoverWalk) {
    openSource();
    auto behind = std::make_shared<ButtonBase>(canvas.renderer, glm::ivec2{300, 300},
                                               glm::ivec2{600, 200});
    const WidgetList widgets{bar, behind};
    const glm::ivec2 overBehind{700, 300};
    EXPECT_TRUE(pointerOverWidget(widgets, overBehind));

    EXPECT_EQ(pressWidgets(widgets, centre(menu(0).rect)), bar);
    EXPECT_TRUE(menu(0).expanded);
    EXPECT_FALSE(bar->infoVisible);
    EXPECT_TRUE(bar->isBlocking());
    EXPECT_FALSE(pointerOverWidget(widgets, overBehind));
    settle();

    // A press on the 3D header closes the filter list, keeping its choice, and opens the 3D
    // list in the same press.
    EXPECT_EQ(pressWidgets(widgets, centre(menu(1).rect)), bar);
    EXPECT_FALSE(menu(0).expanded);
    EXPECT_EQ(menu(0).selectedIndex, 0);
    EXPECT_TRUE(menu(1).expanded);
    settle();

    // A press anywhere else closes it and is consumed; nothing changes.
    EXPECT_EQ(pressWidgets(widgets, overBehind), bar);
    EXPECT_FALSE(behind->active);
    EXPECT_FALSE(menu(1).expanded);
    EXPECT_EQ(menu(1).selectedIndex, 0);
    EXPECT_EQ(windowsManager->modeIndex, 0);
    EXPECT_FALSE(bar->isBlocking());
    EXPECT_TRUE(pointerOverWidget(widgets, overBehind));

    // Drawn twice in a frame (in the list and on top), an open list looks the same.
    ASSERT_TRUE(bar->onPress(centre(menu(2).rect)));
    settle();
    canvas.clear({255, 255, 255, 255});
    bar->render();
    const Rgba once = canvas.pixel(menu(2).options[1]->rect.x + 1, menu(2).options[1]->rect.y + 1);
    bar->render();
    EXPECT_EQ(canvas.pixel(menu(2).options[1]->rect.x + 1, menu(2).options[1]->rect.y + 1), once);
    EXPECT_EQ(once, rgba(menu(2).optionColors.normal));
}

TEST_F(PopUpButtonTest, PickedRowsReachTheJobThePreviewAndTheProfile) {
    openSource();
    pick(0, 3);
    EXPECT_EQ(menu(0).header->text, filterTable[3].second);
    EXPECT_EQ(windowsManager->filterIndex, 3);
    EXPECT_EQ(engine->activeFilter, 3);
    engine->waitForFilterBuilds();
    {
        SDL_LockMutex(engine->mutex);
        const auto found = engine->filters.find(3);
        const bool built = found != engine->filters.end() && found->second->ready;
        SDL_UnlockMutex(engine->mutex);
        EXPECT_TRUE(built) << "the preview's filter graph for row 3 was not built";
    }

    pick(1, 2);
    EXPECT_EQ(windowsManager->modeIndex, 2);
    ASSERT_GE(outputTable.size(), 2u);
    pick(2, 1);
    EXPECT_EQ(windowsManager->resolutionIndex, outputTable[1].resolutionIndex);
    EXPECT_EQ(windowsManager->bitrateIndex, outputTable[1].bitrateIndex);
    EXPECT_EQ(profileChoice(0), 3);
    EXPECT_EQ(profileChoice(1), 2);
    EXPECT_EQ(profileChoice(2), 1);

    // The same row again is handed on again.
    JobSnapshot changed = windowsManager->snapshot();
    changed.filterIndex = 0;
    ASSERT_TRUE(windowsManager->update(changed));
    pick(0, 3);
    EXPECT_EQ(windowsManager->filterIndex, 3);

    // Row 0 turns the preview's filter off again.
    pick(0, 0);
    EXPECT_EQ(windowsManager->filterIndex, 0);
    EXPECT_EQ(engine->activeFilter, 0);
}

TEST_F(PopUpButtonTest, ARowsTopLeftCornerPixelMissesIt) {
    openSource();
    ASSERT_TRUE(bar->onPress(centre(menu(1).rect)));
    settle();
    const SDL_Rect row = menu(1).options[1]->rect;
    EXPECT_TRUE(bar->onPress({row.x, row.y}));
    EXPECT_FALSE(menu(1).expanded);
    EXPECT_EQ(menu(1).selectedIndex, 0);
    EXPECT_EQ(windowsManager->modeIndex, 0);
}

TEST_F(PopUpButtonTest, RememberedChoicesAreShownButNotApplied) {
    struct Case {
        int stored;
        int shown;
    } cases[] = {{3, 3}, {99, 0}, {-1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        userSetting->setOption(UserSetting::sectionName, 0, c.stored);
        userSetting->setOption(UserSetting::sectionName, 1, 1);
        makeBar();
        EXPECT_EQ(menu(0).selectedIndex, c.shown);
        EXPECT_TRUE(menu(0).options[c.shown]->selected);
        EXPECT_EQ(menu(0).header->text, filterTable[c.shown].second);
        EXPECT_EQ(menu(1).header->text, modeTable[1].first);
        EXPECT_EQ(windowsManager->filterIndex, -1);
        EXPECT_EQ(windowsManager->modeIndex, 0);
        EXPECT_EQ(engine->activeFilter, -1);
    }
}

TEST_F(PopUpButtonTest, ASourceThatGoesAwayClosesTheOpenList) {
    openSource();
    ASSERT_TRUE(bar->onPress(centre(menu(0).rect)));
    ASSERT_TRUE(bar->isBlocking());
    engine->release();
    EXPECT_FALSE(bar->onPress({600, 400}));
    EXPECT_FALSE(menu(0).expanded);
    EXPECT_FALSE(bar->isBlocking());
}
