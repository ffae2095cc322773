// The output-folder button and its path line: a warning without a source, the folder
// chooser with one, the line in the message list and the shortened path.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/json_base.h"
#include "config/option_tables.h"
#include "scripted_boxes.h"
#include "screen/middle_path_button.h"
#include "platform/text_encoding.h"
#include "screen_button_support.h"
#include "widget_test_support.h"

using namespace screentest;

namespace {

class PathButton : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0);
        refreshOptionTables();
        button->job = record;
        button->messageSink = [this](std::string line) { lines.push_back(std::move(line)); };
        button->setPathLabel(textFontPath(), {0, 0, 0, 255},
                             uiConfig->getPoint("PARAM_INPUTFILE", "textpos"), L"",
                             kalo::utf8ToWide(otherText("KALO_OPEN")));
        button->setIcon(otherText("KALO_BUTTONFONT"), 62658, {195, 195, 195, 255}, 50);
        button->resize({1152, 648});
    }

    fs::path folder = testFolder();
    SoftwareCanvas canvas{1152, 648};
    std::shared_ptr<WindowsManager> record = std::make_shared<WindowsManager>();
    std::shared_ptr<middlePathbutton> button =
        std::make_shared<middlePathbutton>(canvas.renderer, glm::ivec2{70, 70}, glm::ivec2{310, 545});
    std::vector<std::string> lines;
    const glm::ivec2 inside{335, 570};
};

}  // namespace

TEST_F(PathButton, BeforeASourceItWarnsAndAsksForNoFolder) {
    EXPECT_EQ(button->rect.w, 50);  // from the icon's point size
    ScriptedDialogs dialogs;
    ScriptedBoxes boxes;
    ASSERT_TRUE(button->onPress(inside));
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, kalo::platform::MessageBoxKind::Warning);
    EXPECT_EQ(asked[0].title, "没有文件");
    EXPECT_EQ(asked[0].text, "请先设置载入的文件，然后再开始转换.");
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(button->pathLabel->text, "等待视频档案中 ...");
    EXPECT_FALSE(button->onPress({310, 570}));  // the edge is outside
}

TEST_F(PathButton, EachChoiceNamesTheOutputAfterTheSourceAndIsReportedEveryTime) {
    JobSnapshot job = record->snapshot();
    job.input = L"/v/clip.final.mov";
    ASSERT_TRUE(record->update(job));
    const std::wstring chosenFolder = wide(folder / "出 out") + L"/";
    ScriptedDialogs dialogs({chosen(chosenFolder), chosen(chosenFolder)});
    ScriptedBoxes boxes;
    ASSERT_TRUE(button->onPress(inside));
    ASSERT_TRUE(button->onPress(inside));

    const std::wstring expected = chosenFolder + L"clip.final_SBS.mp4";
    EXPECT_EQ(record->output, expected);
    const std::string line = "当前输出文件夹为: " + kalo::wideToUtf8(expected);
    EXPECT_EQ(lines, (std::vector<std::string>{line, line}));
    // The line holds 20 characters: a longer path shows its last 20 after "... ".
    EXPECT_EQ(button->pathLabel->text, "... t/clip.final_SBS.mp4");
    EXPECT_EQ(dialogs.requests.size(), 2u);
    EXPECT_TRUE(boxes.requests().empty());

    // A cancelled folder dialog changes neither the record nor the line.
    ASSERT_TRUE(button->onPress(inside));
    EXPECT_EQ(record->output, expected);
    EXPECT_EQ(button->pathLabel->text, "... t/clip.final_SBS.mp4");
}

TEST_F(PathButton, ThePathLineShowsTwentyCharactersAndElidesTheTwentyFirst) {
    JobSnapshot job = record->snapshot();
    job.input = L"/v/abcdefghi.mov";
    ASSERT_TRUE(record->update(job));
    struct Case {
        std::wstring folder;
        std::string shown;
    };
    for (const Case& c : {Case{L"/o/", "/o/abcdefghi_SBS.mp4"},  // 20 characters
                          Case{L"/ou/", "... ou/abcdefghi_SBS.mp4"}}) {  // 21
        ScriptedDialogs dialogs({chosen(c.folder)});
        ASSERT_TRUE(button->onPress(inside));
        EXPECT_EQ(button->pathLabel->text, c.shown);
    }
}

TEST_F(PathButton, DrawsTheSavePathPictureAndTheLine) {
    const Rgba panel{246, 246, 246, 255};
    canvas.clear({246, 246, 246, 255});
    button->render();
    // The picture covers its configured rectangle (319 x 42 at (45, 542)) and nothing else.
    EXPECT_GT(canvas.countDiffering({45, 542, 319, 42}, panel), 319 * 42 / 2);
    EXPECT_EQ(canvas.countDiffering({0, 0, 1152, 540}, panel), 0);
    // The line is dark text on the field.
    const Rgba field = canvas.pixel(290, 563);
    const SDL_Rect text = button->pathLabel->rect;
    EXPECT_GT(text.w, 40);
    EXPECT_GT(canvas.countDiffering(text, field), 20);
}
