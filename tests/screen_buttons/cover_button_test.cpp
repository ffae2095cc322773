// The convert/stop control: the check box that toggles without taking the press, which
// convert button a press reaches, the stop confirmation, and what it draws.
#include <gtest/gtest.h>

#include <memory>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "conversion/converter_location.h"
#include "scripted_boxes.h"
#include "screen/conver_cover_button.h"
#include "screen_button_support.h"
#include "widget_test_support.h"
#include "widgets/widget_list.h"

using namespace screentest;
using kalo::platform::FileDialogKind;

namespace {

class CoverButton : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0);
        refreshOptionTables();
        labelFont = TTF_OpenFont(otherText("KALO_BUTTONFONT").c_str(), 30);
        cover = std::make_shared<ConverCoverButton>(labelFont, canvas.renderer,
                                                    glm::ivec2{180, 77}, glm::ivec2{884, 522},
                                                    &converting);
        cover->job = record;
        // A converter that cannot exist: a job that got as far as starting is refused
        // with a message instead of running.
        environment.set(converterEnvironmentVariable, (folder / "no-converter").string());
    }
    void TearDown() override {
        cover.reset();
        if (labelFont) TTF_CloseFont(labelFont);
    }

    void setSource(const std::wstring& output = L"") {
        JobSnapshot job = record->snapshot();
        job.input = wide(folder / "clip.mp4");
        job.output = output;
        ASSERT_TRUE(record->update(job));
    }

    fs::path folder = testFolder();
    ScopedEnvironment environment;
    SoftwareCanvas canvas{1152, 648};
    TTF_Font* labelFont = nullptr;
    bool converting = false;
    std::shared_ptr<WindowsManager> record = std::make_shared<WindowsManager>();
    std::shared_ptr<ConverCoverButton> cover;
    const glm::ivec2 checkBox{890, 614};    // the shipped check box, below the control
    const glm::ivec2 onConvert{960, 560};   // inside the control's design rectangle
};

}  // namespace

TEST_F(CoverButton, TheCheckBoxTogglesAndThePressTravelsOnToTheNextWidget) {
    ScriptedDialogs dialogs;
    auto below = std::make_shared<ButtonBase>(nullptr, glm::ivec2{300, 60}, glm::ivec2{860, 590});
    const WidgetList list{cover, below};
    EXPECT_TRUE(cover->askOutput);  // ticked at the start

    EXPECT_EQ(pressWidgets(list, checkBox), below);
    EXPECT_FALSE(cover->askOutput);
    EXPECT_TRUE(cover->ticked->active);
    EXPECT_EQ(pressWidgets(list, checkBox), below);
    EXPECT_TRUE(cover->askOutput);
    // A press elsewhere leaves it as it is.
    EXPECT_EQ(pressWidgets(list, {870, 640}), below);
    EXPECT_TRUE(cover->askOutput);
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(CoverButton, TickedAsksForTheOutputFileWithinTheDesignRectangleEvenAfterEnlarging) {
    setSource();
    ScriptedDialogs dialogs;  // every save dialog is cancelled
    cover->resize({1920, 1080});
    EXPECT_EQ(cover->convertButton->rect.w, 300);
    EXPECT_EQ(cover->convertButton->rect.h, 128);
    const SDL_Rect design{884, 522, 180, 77};
    EXPECT_EQ(cover->convertAskButton->rect.w, design.w);
    EXPECT_EQ(cover->convertAskButton->rect.h, design.h);

    // Drawn there, but outside the hit area: nothing happens, the press is not taken.
    EXPECT_FALSE(cover->onPress({1100, 620}));
    EXPECT_TRUE(dialogs.requests.empty());

    ASSERT_TRUE(cover->onPress({design.x + design.w - 1, design.y + design.h - 1}));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].kind, FileDialogKind::SaveFile);
    EXPECT_EQ(record->command, COMMAND_NOTHING);  // cancelled: no job
}

TEST_F(CoverButton, UntickedConvertsToTheChosenOutputOrWarnsWithoutOne) {
    setSource();
    cover->askOutput = false;
    ScriptedDialogs dialogs;
    {
        ScriptedBoxes boxes;
        ASSERT_TRUE(cover->onPress(onConvert));
        const auto asked = boxes.requests();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].kind, kalo::platform::MessageBoxKind::Warning);
        EXPECT_EQ(asked[0].title, "没有文件");
        EXPECT_EQ(record->command, COMMAND_NOTHING);
    }
    setSource(wide(folder / "clip_SBS.mp4"));
    ScriptedBoxes boxes;
    ASSERT_TRUE(cover->onPress(onConvert));
    EXPECT_EQ(record->command, COMMAND_CONVERT);
    // The job was asked for: it reached the converter check (and found none).
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].text.find("no-converter"), std::string::npos) << asked[0].text;
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(CoverButton, WhileConvertingAPressAsksAndOnlyConfirmedStopsClearTheFlag) {
    struct Case {
        int answer;
        bool stillConverting;
    };
    // 0: "取消" (also what Escape gives); -1: the box closed; 1: "确定".
    for (const Case& c : {Case{0, true}, Case{-1, true}, Case{1, false}}) {
        converting = true;
        ScriptedBoxes boxes({c.answer});
        ASSERT_TRUE(cover->onPress(onConvert));
        EXPECT_EQ(converting, c.stillConverting) << c.answer;
        const auto asked = boxes.requests();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].kind, kalo::platform::MessageBoxKind::Information);
        EXPECT_EQ(asked[0].title, "取消渲染");
        EXPECT_EQ(asked[0].text, "你确定取消渲染吗? ");
        ASSERT_EQ(asked[0].buttons.size(), 2u);
        EXPECT_EQ(asked[0].buttons[0].id, 0);
        EXPECT_EQ(asked[0].buttons[0].text, "取消");
        EXPECT_TRUE(asked[0].buttons[0].escapeKeyDefault);
        EXPECT_EQ(asked[0].buttons[1].id, 1);
        EXPECT_EQ(asked[0].buttons[1].text, "确定");
        EXPECT_TRUE(asked[0].buttons[1].returnKeyDefault);
    }
    // The check box still toggles while converting, and a miss asks nothing.
    converting = true;
    ScriptedBoxes boxes;
    EXPECT_FALSE(cover->onPress(checkBox));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_FALSE(cover->askOutput);
}

TEST_F(CoverButton, DrawsTheConvertOrTheStopFaceAndTheCheckBoxState) {
    const Rgba panel{246, 246, 246, 255};
    auto drawn = [&] {
        canvas.clear({246, 246, 246, 255});
        cover->render();
        return canvas.pixel(960, 540);
    };
    const Rgba convertFace = drawn();
    const Rgba tickedBox = canvas.pixel(890, 614);
    converting = true;
    const Rgba stopFace = drawn();
    EXPECT_GT(stopFace.r, stopFace.g + 80) << stopFace;  // red
    EXPECT_LT(std::abs(int(convertFace.r) - int(convertFace.g)), 20) << convertFace;  // grey
    EXPECT_FALSE(convertFace == panel);
    cover->askOutput = false;
    drawn();
    EXPECT_FALSE(canvas.pixel(890, 614) == tickedBox);
    // Only the control and its check box are drawn.
    EXPECT_EQ(canvas.countDiffering({0, 0, 880, 648}, panel), 0);
}
