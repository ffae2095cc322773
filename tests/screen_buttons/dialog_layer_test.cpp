// The Linux dialog layer against stand-in zenity and kdialog programs: the argument lists
// they are given, how their answers come back (exact paths, cancel, failures), which one is
// used, and what the user is told when none can be used.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/option_tables.h"
#include "platform/file_dialog.h"
#include "platform/text_encoding.h"
#include "scripted_boxes.h"
#include "screen/file_choosers.h"
#include "screen_button_support.h"

using namespace screentest;
using kalo::platform::FileDialogKind;
using kalo::platform::FileDialogRequest;
using kalo::platform::FileDialogStatus;
using Arguments = std::vector<std::string>;

namespace {

class DialogLayer : public ::testing::Test {
protected:
    void SetUp() override { refreshOptionTables(); }
    fs::path folder = testFolder();
};

std::string slashed(const fs::path& path) { return path.string() + "/"; }

const std::string allFormats =
    "--file-filter=所有支持格式 | *.mp4 *.mov *.avi *.rmvb *.mkv *.MP4 *.MOV *.AVI *.RMVB *.MKV";

}  // namespace

TEST_F(DialogLayer, ZenityGetsOneArgumentPerOptionAndItsAnswerComesBackExactly) {
    StandInDialogs dialogs(folder);
    // Blanks, Chinese, quotes, '$', a leading dash and a trailing blank: all part of the name.
    const std::string awkward = (folder / "my 视频 \"q\" $HOME -x" / "-clip it .mp4").string();
    fs::create_directories(folder / "my 视频 \"q\" $HOME -x");
    fs::create_directories(folder / "out put 出");
    dialogs.answer(awkward);
    ScriptedBoxes boxes;
    EXPECT_EQ(chooseSourceFile(), kalo::utf8ToWide(awkward));

    dialogs.answer((folder / "out put 出").string());
    EXPECT_EQ(chooseOutputFolder(), kalo::utf8ToWide((folder / "out put 出").string() + "/"));
    dialogs.answer((folder / "result.mkv").string());
    EXPECT_EQ(chooseOutputFile(), wide(folder / "result.mkv"));
    EXPECT_TRUE(boxes.requests().empty());

    const auto runs = dialogs.runs();
    ASSERT_EQ(runs.size(), 3u);
    // The first dialog starts in the Videos folder of the user-dirs file, later ones where
    // the last choice was made.
    EXPECT_EQ(runs[0], (Arguments{"zenity", "--file-selection", "--filename=" + slashed(dialogs.videos),
                                  allFormats, "--file-filter=MP4视频(*.mp4) | *.mp4 *.MP4",
                                  "--file-filter=MOV视频(*.mov) | *.mov *.MOV",
                                  "--file-filter=AVI视频(*.avi) | *.avi *.AVI",
                                  "--file-filter=RMVB视频(*.rmvb) | *.rmvb *.RMVB",
                                  "--file-filter=MKV视频(*.mkv) | *.mkv *.MKV"}));
    EXPECT_EQ(runs[1], (Arguments{"zenity", "--file-selection", "--directory",
                                  "--filename=" + slashed(folder / "my 视频 \"q\" $HOME -x")}));
    EXPECT_EQ(runs[2], (Arguments{"zenity", "--file-selection", "--save", "--confirm-overwrite",
                                  "--filename=" + slashed(folder / "out put 出"),
                                  "--file-filter=MP4 File(*.mp4) | *.mp4 *.MP4"}));
}

TEST_F(DialogLayer, SaveNamesWithoutAnExtensionGetMp4AndAnExistingOneIsOnlyReplacedWhenAgreed) {
    StandInDialogs dialogs(folder);
    ScriptedBoxes boxes({0, 1});
    struct Case {
        std::string typed;
        std::string expected;
    };
    for (const Case& c : {Case{"result", "result.mp4"}, Case{"result.mkv", "result.mkv"},
                          Case{".hidden", ".hidden.mp4"}}) {
        dialogs.answer((folder / c.typed).string());
        EXPECT_EQ(chooseOutputFile(), wide(folder / c.expected)) << c.typed;
    }
    EXPECT_TRUE(boxes.requests().empty());

    // zenity asked about "taken", not about "taken.mp4": that question is ours. "取消"
    // keeps the file (no output), "确定" takes it.
    std::ofstream(folder / "taken.mp4") << "precious";
    dialogs.answer((folder / "taken").string());
    EXPECT_EQ(chooseOutputFile(), L"");
    dialogs.answer((folder / "taken").string());
    EXPECT_EQ(chooseOutputFile(), wide(folder / "taken.mp4"));
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NE(asked[0].text.find((folder / "taken.mp4").string()), std::string::npos);
    ASSERT_EQ(asked[0].buttons.size(), 2u);
    EXPECT_TRUE(asked[0].buttons[0].escapeKeyDefault);
}

TEST_F(DialogLayer, CancelIsAnEmptyPathAndTheOutputIsReadToTheEndWithOnlyTheLastNewlineDropped) {
    StandInDialogs dialogs(folder);
    ScriptedBoxes boxes;
    dialogs.answer("", 1);
    EXPECT_EQ(chooseSourceFile(), L"");
    // An "OK" without a name is no choice either.
    dialogs.answer("", 0);
    EXPECT_EQ(chooseOutputFolder(), L"");

    // More than a pipe holds on both streams: neither side may wait for the other.
    const std::string longName = (folder / std::string(300, 'n')).string() + "/" +
                                 std::string(200, 'm') + "\n" + std::string(70000, 'z') + " ";
    dialogs.answer(longName, 0, 200000);
    EXPECT_EQ(chooseSourceFile(), kalo::utf8ToWide(longName));
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(DialogLayer, KdialogIsUsedWhenZenityIsMissing) {
    StandInDialogs dialogs(folder, /*zenity=*/false, /*kdialog=*/true);
    ScriptedBoxes boxes;
    dialogs.answer((folder / "片 a.mov").string());
    EXPECT_EQ(chooseSourceFile(), wide(folder / "片 a.mov"));
    dialogs.answer((folder / "result").string());
    EXPECT_EQ(chooseOutputFile(), wide(folder / "result.mp4"));
    dialogs.answer(folder.string());
    EXPECT_EQ(chooseOutputFolder(), wide(folder) + L"/");
    dialogs.answer("", 1);
    EXPECT_EQ(chooseOutputFolder(), L"");
    EXPECT_TRUE(boxes.requests().empty());

    const auto runs = dialogs.runs();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0],
              (Arguments{"kdialog", "--getopenfilename", slashed(dialogs.videos),
                         "*.mp4 *.mov *.avi *.rmvb *.mkv *.MP4 *.MOV *.AVI *.RMVB *.MKV|所有支持格式\n"
                         "*.mp4 *.MP4|MP4视频(*.mp4)\n*.mov *.MOV|MOV视频(*.mov)\n"
                         "*.avi *.AVI|AVI视频(*.avi)\n*.rmvb *.RMVB|RMVB视频(*.rmvb)\n"
                         "*.mkv *.MKV|MKV视频(*.mkv)"}));
    EXPECT_EQ(runs[1], (Arguments{"kdialog", "--getsavefilename", slashed(folder),
                                  "*.mp4 *.MP4|MP4 File(*.mp4)"}));
    EXPECT_EQ(runs[2], (Arguments{"kdialog", "--getexistingdirectory", slashed(folder)}));
}

TEST_F(DialogLayer, WithoutAnyDialogProgramTheUserIsToldWhatToInstallAndThatDroppingWorks) {
    StandInDialogs dialogs(folder, false, false);
    ScriptedBoxes boxes;
    auto record = std::make_shared<WindowsManager>();
    chooseSourceAction(record);
    EXPECT_EQ(record->command, COMMAND_NOTHING);
    EXPECT_TRUE(record->input.empty());
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, kalo::platform::MessageBoxKind::Error);
    EXPECT_NE(asked[0].text.find("\"zenity\""), std::string::npos) << asked[0].text;
    EXPECT_NE(asked[0].text.find("拖放"), std::string::npos) << asked[0].text;
}

TEST_F(DialogLayer, ADialogThatFailsOrCannotStartIsAnErrorBoxAndNoChoice) {
    StandInDialogs dialogs(folder);
    ScriptedBoxes boxes;
    dialogs.answer("/should/not/be/used.mp4", 5);
    EXPECT_EQ(chooseSourceFile(), L"");
    // A program file that the system cannot run.
    std::ofstream(folder / "bin" / "zenity", std::ios::trunc) << "\x7f" "ELF not really";
    EXPECT_EQ(chooseOutputFolder(), L"");
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].kind, kalo::platform::MessageBoxKind::Error);
    EXPECT_NE(asked[0].text.find("exit code 5"), std::string::npos) << asked[0].text;
    EXPECT_NE(asked[1].text.find("could not be started"), std::string::npos) << asked[1].text;
}

TEST(FileDialogFilter, TheOpenFilterListsAllFormatsFirstThenOnePerFormat) {
    refreshOptionTables();
    const auto entries = kalo::platform::parseFileDialogFilter(buildFileDialogFilter());
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].description, "所有支持格式");
    EXPECT_EQ(entries[0].patterns,
              (std::vector<std::string>{"*.mp4", "*.mov", "*.avi", "*.rmvb", "*.mkv"}));
    EXPECT_EQ(entries[5].description, "MKV视频(*.mkv)");
    EXPECT_EQ(entries[5].patterns, std::vector<std::string>{"*.mkv"});
}
