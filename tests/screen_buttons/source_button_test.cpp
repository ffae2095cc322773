// The output name rule and the source button: a press runs the open chooser, puts the
// choice into the job record, opens it in the engine (paused) and sets the depth level by
// the picture's shape; an output already set follows the new source's name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "config/option_tables.h"
#include "conversion/converter_command_line.h"
#include "clip_factory.h"
#include "player/ffmpeg_helper.h"
#include "scene/user_events.h"
#include "scripted_boxes.h"
#include "screen/file_choosers.h"
#include "screen/input_file_button.h"
#include "platform/text_encoding.h"
#include "screen_button_support.h"
#include "widget_test_support.h"

using namespace screentest;

TEST(DefaultOutputPath, TakesTheSourceNameWithoutItsLastExtensionIntoTheOutputsFolder) {
    struct Case {
        std::wstring source, output, expected;
    };
    const Case cases[] = {
        {L"/v/clip.final.mov", L"/out/", L"/out/clip.final_SBS.mp4"},
        {L"/v/clip.final.mov", L"/out/a_SBS.mp4", L"/out/clip.final_SBS.mp4"},
        {L"/v/新 片 -1.mkv", L"/o u t/old.mp4", L"/o u t/新 片 -1_SBS.mp4"},
        {L"/v/noext", L"/out/", L"/out/noext_SBS.mp4"},
        {L"/v/clip.mov", L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(defaultOutputPath(c.source, c.output), c.expected) << kalo::wideToUtf8(c.source);
}

namespace {

class SourceButton : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
        refreshOptionTables();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        button->job = record;
        button->engine = engine;
    }
    void TearDown() override {
        engine->release();
        SDL_Quit();
    }

    bool sourceLoadedEventQueued() {
        SDL_Event event;
        bool seen = false;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_USEREVENT && event.user.code == EVT_SOURCE_LOADED) seen = true;
        return seen;
    }

    fs::path folder = testFolder();
    SoftwareCanvas canvas{1152, 648};
    std::shared_ptr<WindowsManager> record = std::make_shared<WindowsManager>();
    std::shared_ptr<FFmpegHelper> engine = std::make_shared<FFmpegHelper>();
    std::shared_ptr<InputFileButton> button =
        std::make_shared<InputFileButton>(canvas.renderer, glm::ivec2{173, 36}, glm::ivec2{37, 40});
    const glm::ivec2 inside{100, 60};
};

}  // namespace

TEST_F(SourceButton, APressOpensTheChosenSourcePausedWithTheDepthLevelOfItsShape) {
    const fs::path portrait = kalo::test::clip("phone90.mp4");
    const fs::path landscape = kalo::test::clip("count250.mp4");
    ScriptedDialogs dialogs({chosen(wide(portrait)), chosen(wide(landscape))});

    EXPECT_FALSE(button->onPress({37, 60}));  // the edge is outside
    EXPECT_TRUE(dialogs.requests.empty());

    ASSERT_TRUE(button->onPress(inside));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].kind, kalo::platform::FileDialogKind::OpenFile);
    EXPECT_EQ(record->input, wide(portrait));
    EXPECT_EQ(record->command, COMMAND_OPEN_SOURCE);
    EXPECT_TRUE(engine->opened);
    EXPECT_TRUE(engine->paused);
    EXPECT_EQ(record->depthLevelIndex, 1);
    EXPECT_TRUE(sourceLoadedEventQueued());
    // No output was set: it stays empty.
    EXPECT_TRUE(record->output.empty());

    ASSERT_TRUE(button->onPress(inside));
    EXPECT_EQ(record->input, wide(landscape));
    EXPECT_EQ(record->depthLevelIndex, 0);
}

TEST_F(SourceButton, ANewSourceKeepsTheOutputFolderAndACancelKeepsEverything) {
    const fs::path clip = kalo::test::clip("count250.mp4");
    JobSnapshot job = record->snapshot();
    job.input = L"/v/a.mp4";
    job.output = wide(folder / "a_SBS.mp4");
    ASSERT_TRUE(record->update(job));

    ScriptedDialogs dialogs({chosen(wide(clip))});
    ASSERT_TRUE(button->onPress(inside));
    EXPECT_EQ(record->output, wide(folder / "count250_SBS.mp4"));

    // A cancelled chooser: "nothing to do", and the output the user set stays as it is.
    job = record->snapshot();
    job.output = wide(folder / "my choice.mp4");
    ASSERT_TRUE(record->update(job));
    openSourceAction(record, engine, canvas.renderer);
    EXPECT_EQ(record->command, COMMAND_NOTHING);
    EXPECT_EQ(record->input, wide(clip));
    EXPECT_EQ(record->output, wide(folder / "my choice.mp4"));
}

TEST_F(SourceButton, ASourceTheEngineCannotReadIsReportedAndTheEarlierSourceStays) {
    const fs::path good = kalo::test::clip("count250.mp4");
    const fs::path garbage = kalo::test::clip("garbage.mp4");
    ScriptedDialogs dialogs({chosen(wide(good)), chosen(wide(garbage))});
    ASSERT_TRUE(button->onPress(inside));
    ScriptedBoxes boxes;
    ASSERT_TRUE(button->onPress(inside));
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, kalo::platform::MessageBoxKind::Error);
    EXPECT_EQ(asked[0].text, "初始化失败了");
    EXPECT_EQ(record->input, wide(good));
    EXPECT_NE(record->command, COMMAND_OPEN_SOURCE);
}

TEST_F(SourceButton, WhenTheWorkingDirectoryCannotBeSetBackTheChosenSourceIsStillUsed) {
    const fs::path clip = kalo::test::clip("count250.mp4");
    const fs::path before = fs::current_path();
    const fs::path doomed = folder / "doomed";
    fs::create_directories(doomed);
    fs::current_path(doomed);
    // The dialog moves the working directory, and the folder it left disappears meanwhile.
    kalo::platform::setFileDialogHandler([&](const kalo::platform::FileDialogRequest&) {
        fs::current_path(folder);
        fs::remove_all(doomed);
        return chosen(wide(clip));
    });
    const bool taken = button->onPress(inside);
    kalo::platform::setFileDialogHandler(nullptr);
    fs::current_path(before);
    EXPECT_TRUE(taken);
    EXPECT_EQ(record->input, wide(clip));
    EXPECT_TRUE(engine->opened);
}

TEST_F(SourceButton, APortraitSourceOpenedHereConvertsWithTheStrongerDepthLevel) {
    ScriptedDialogs dialogs({chosen(wide(kalo::test::clip("phone270.mp4")))});
    ASSERT_TRUE(button->onPress(inside));
    JobSnapshot job = record->snapshot();
    job.output = wide(folder / "out.mp4");
    const std::wstring line = buildConverterCommandLine(job, KALO_BIN_DIR).windowsCommandString();
    EXPECT_NE(line.find(L"depth=outputmode=sbs:dl=27,"), std::wstring::npos)
        << kalo::wideToUtf8(line);
}
