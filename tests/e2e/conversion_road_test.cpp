// The road of one conversion as a person takes it: a source chosen with the button or the
// File menu, options picked in the pull-down lists, the output chosen in the save dialog or
// as a folder, the real converter's progress followed to the completion text, and the
// result probed as a player would see it.
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "e2e_fixture.h"

namespace kalo::e2e {
namespace {

namespace fs = std::filesystem;

class ConverterRoad : public EndToEnd {};

std::vector<std::string> linesOf(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The value after `option` in an argument list; empty when absent.
std::string valueAfter(const std::vector<std::string>& arguments, const std::string& option) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == option) return arguments[i + 1];
    }
    return {};
}

TEST_F(ConverterRoad, ButtonSourceOptionsAndSaveDialogGiveASideBySideFile) {
    const fs::path clip = makeClip("clips/road clip.mp4", 2.0);
    // The real converter, behind a recorder of the arguments the application gave it.
    const fs::path arguments = root / "converter-arguments";
    const fs::path recorder = writeConverterScript(
        "kalo-depth", "printf '%s\\n' \"$@\" > '" + arguments.string() + "'\nexec '" + KALO_BIN_DIR +
                          "/kalo-depth' \"$@\"\n");
    ASSERT_TRUE(startApp({{}, {}, {}, {{"KALO_CONVERTER", recorder.string()}}}));
    ASSERT_TRUE(openSourceByButton(clip));

    ASSERT_TRUE(pickRow(layout.filter, 1, "filter"));   // "艳金", the look Clarendon.cube
    ASSERT_TRUE(pickRow(layout.mode, 2, "3D-mode"));    // "远景", landscape
    ASSERT_TRUE(pickRow(layout.output, 1, "output"));   // "1080P 低画质", 6 Mbit/s

    const fs::path output = root / "results" / "road clip_SBS.mp4";
    fs::create_directories(output.parent_path());
    ASSERT_TRUE(convertWithSaveDialog(output, 1));
    int progressPictures = 0;
    ASSERT_TRUE(followJob(1, 150, &progressPictures));
    EXPECT_GE(progressPictures, 2) << "the progress area never changed while the job ran";
    ASSERT_TRUE(waitForOutput(completionShownLine, 1, 10));
    shot("completed");

    const std::vector<std::string> given = linesOf(arguments);
    EXPECT_EQ(valueAfter(given, "-i"), clip.u8string());
    EXPECT_EQ(valueAfter(given, "-y"), output.u8string());
    const std::string filters = valueAfter(given, "-vf");
    EXPECT_NE(filters.find("lut3d="), std::string::npos) << filters;
    EXPECT_NE(filters.find("Clarendon.cube"), std::string::npos) << filters;
    EXPECT_NE(filters.find("depth=outputmode=sbs:mode=landscape:dl=25,scale=1920:1080"), std::string::npos)
        << filters;
    EXPECT_EQ(valueAfter(given, "-b:v"), "6M");
    EXPECT_EQ(valueAfter(given, "-pix_fmt"), "yuv420p");
    EXPECT_TRUE(isSideBySide1080pWithSound(output, root));

    // The completion text goes by itself after about nine seconds.
    ASSERT_TRUE(waitForOutput(completionHiddenLine, 1, 15));
    shot("completion-gone");

    ASSERT_TRUE(quitWithEscape());
    std::ifstream in(home / ".local/share/kalo-converter/KALO_profiles.json");
    ASSERT_TRUE(in.good()) << "no profile written";
    const nlohmann::json profile = nlohmann::json::parse(in, nullptr, false);
    ASSERT_FALSE(profile.is_discarded());
    const nlohmann::json& choices = profile.at("PARAM_USER_SETTING");
    EXPECT_EQ(choices.value("Filter_option", -1), 1);
    EXPECT_EQ(choices.value("Setting_option", -1), 2);
    EXPECT_EQ(choices.value("Output_option", -1), 1);
}

// File menu, folder button and an unticked check box, with spaces and Chinese characters in
// every name the road passes: the source's folder and name, the output folder and the
// output name derived from the source.
TEST_F(ConverterRoad, MenuSourceAndChosenFolderKeepSpacesAndChineseNames) {
    const fs::path clip = makeClip("输入 文件夹/我的 视频 片段.mp4", 2.0);
    const fs::path folder = root / fs::u8path("输出 目录");
    fs::create_directories(folder);
    ASSERT_TRUE(startApp());

    const Area menuCorner{0, 0, layout.windowWidth / 3, layout.filter.header.y + layout.filter.header.h * 3};
    const Picture closedMenu = grab(menuCorner);
    dialog->queueChoice(clip);
    ASSERT_TRUE(pressKeys("alt+f"));
    ASSERT_TRUE(waitForPicture(menuCorner, [&](const Picture& p) { return p != closedMenu; }, 5,
                               "the File menu opening"));
    shot("file-menu-open");
    ASSERT_TRUE(pressKeys("Return"));  // "选择文件", the first item
    ASSERT_TRUE(dialog->waitForCalls(1, 10)) << "File › 选择文件 opened no file dialog";
    ASSERT_TRUE(waitForThumbnail());

    dialog->queueChoice(folder);
    ASSERT_TRUE(click(layout.pathButton.centre(), "the output-folder button"));
    ASSERT_TRUE(dialog->waitForCalls(2, 10)) << "the output-folder button opened no dialog";
    EXPECT_TRUE(dialog->calls()[1].hasArgument("--directory"));
    shot("folder-chosen");

    const Picture ticked = grab(layout.checkBox);
    ASSERT_TRUE(click(layout.checkBox.centre(), "the check box"));
    ASSERT_TRUE(waitForPicture(layout.checkBox, [&](const Picture& p) { return p != ticked; }, 5,
                               "the check box unticked"));
    shot("check-box-unticked");

    ASSERT_TRUE(click(layout.convertControl.centre(), "the convert button"));
    ASSERT_TRUE(waitForOutput(jobStartedLine, 1, 15));
    EXPECT_EQ(dialog->callCount(), 2u) << "an unticked box must not ask for the output file";
    ASSERT_TRUE(followJob(1, 150));
    ASSERT_TRUE(waitForOutput(completionShownLine, 1, 10));
    shot("completed");

    const fs::path output = folder / fs::u8path("我的 视频 片段_SBS.mp4");
    ASSERT_TRUE(fs::exists(output)) << "expected " << output << " in the chosen folder";
    EXPECT_TRUE(isSideBySide1080pWithSound(output, root));
    EXPECT_TRUE(fs::exists(clip)) << "the source must stay";
    ASSERT_TRUE(quitWithEscape());
}

}  // namespace
}  // namespace kalo::e2e
