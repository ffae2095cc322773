// The stand-in dialog program the other end-to-end tests rely on: it must record exactly what
// the application passed and answer in queue order, or those tests would prove nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "child_process.h"
#include "stand_in_dialog.h"

namespace kalo::e2e {
namespace {

namespace fs = std::filesystem;

TEST(StandInDialog, RecordsArgumentsAndAnswersInQueueOrder) {
    const fs::path folder = fs::temp_directory_path() / ("kalo-e2e-dialog-" + std::to_string(getpid()));
    fs::remove_all(folder);
    StandInDialog dialog(folder / "dialog stand in");
    const fs::path chosen = fs::u8path("/tmp/输出 目录/my clip.mp4");
    dialog.queueChoice(chosen);
    dialog.queueCancel();

    const std::string program = (dialog.programFolder() / "zenity").string();
    const std::vector<std::string> arguments{program, "--file-selection", "--save", "--filename=/tmp/a b/",
                                             "--file-filter=MP4 File | *.mp4"};
    const test::ProcessResult first = test::runProcess(arguments, folder);
    const test::ProcessResult second = test::runProcess({program, "--file-selection", "--directory"}, folder);
    const test::ProcessResult third = test::runProcess({program, "--file-selection"}, folder);

    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, chosen.u8string() + "\n");
    EXPECT_EQ(second.exitCode, 1) << "a queued cancel";
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(third.exitCode, 1) << "nothing queued: cancelled, never hanging";

    ASSERT_EQ(dialog.callCount(), 3u);
    const std::vector<StandInDialog::Call> calls = dialog.calls();
    EXPECT_EQ(calls[0].arguments, std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    EXPECT_TRUE(calls[0].hasArgument("--save"));
    EXPECT_EQ(calls[0].option("--filename"), "/tmp/a b/");
    EXPECT_TRUE(calls[1].hasArgument("--directory"));
    EXPECT_TRUE(calls[0].answered);
    EXPECT_TRUE(calls[1].answered);
    EXPECT_FALSE(calls[2].answered);
    EXPECT_FALSE(dialog.waitForCalls(4, 0.2));

    // Message boxes have their own queue: the label of the button pressed, or closed.
    dialog.queueBoxButton("确定");
    const test::ProcessResult box = test::runProcess(
        {program, "--question", "--switch", "--title", "取消渲染", "--text", "你确定取消渲染吗? ", "--extra-button",
         "取消", "--extra-button", "确定"},
        folder);
    const test::ProcessResult unexpectedBox = test::runProcess({program, "--question", "--title", "错误"}, folder);
    EXPECT_EQ(box.exitCode, 0);
    EXPECT_EQ(box.out, "确定\n");
    EXPECT_EQ(unexpectedBox.exitCode, 1);
    ASSERT_EQ(dialog.boxCount(), 2u);
    EXPECT_EQ(dialog.boxes()[0].valueAfter("--title"), "取消渲染");
    EXPECT_EQ(dialog.boxes()[0].valueAfter("--text"), "你确定取消渲染吗? ");
    EXPECT_FALSE(dialog.boxes()[1].answered);
    EXPECT_EQ(dialog.callCount(), 3u) << "boxes are not file choosers";
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kalo::e2e
