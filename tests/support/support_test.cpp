// The test-support library itself: the child-process runner sets the child up as asked and
// never waits without bound, the clip factory hands file names to ffmpeg untouched and
// fails loudly, and the canvas reads back what was drawn.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "child_process.h"
#include "clip_factory.h"
#include "media_probe.h"
#include "scratch_folder.h"
#include "software_canvas.h"

namespace kalo::test {
namespace {

namespace fs = std::filesystem;

TEST(ChildProcessRunner, StartsTheChildInItsFolderWithItsEnvironmentAndOneOutputFile) {
    ScratchFolder work;
    fs::create_directories(work / "inside");
    setenv("KALO_SUPPORT_GONE", "still here", 1);
    ProcessSetup setup;
    setup.outputFile = work / "output.txt";
    setup.workingDirectory = work / "inside";
    setup.unset = {"KALO_SUPPORT_GONE"};
    setup.environment = {{"KALO_SUPPORT_SET", "a b $c"}};
    {
        ChildProcess child({"sh", "-c", "pwd; echo \"$KALO_SUPPORT_SET\"; echo \"${KALO_SUPPORT_GONE-unset}\"; "
                                        "echo to-error >&2; exit 3"},
                           setup);
        ASSERT_TRUE(child.started()) << child.startError();
        const ProcessResult result = child.wait(std::chrono::seconds(30));
        EXPECT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_EQ(result.describe(), "exit code 3");
        EXPECT_EQ(result.out, fs::canonical(work / "inside").string() + "\na b $c\nunset\nto-error\n");
        EXPECT_EQ(child.wait(std::chrono::seconds(1)).exitCode, 3);  // collected once, told again
    }
    unsetenv("KALO_SUPPORT_GONE");
    EXPECT_TRUE(fs::exists(work / "output.txt"));  // a file the test named is kept
}

TEST(ChildProcessRunner, AChildThatOutlivesTheWaitIsKilledAndAMissingOneSaysWhy) {
    ScratchFolder work;
    ChildProcess sleeper({"sleep", "60"}, work.path());
    ASSERT_TRUE(sleeper.started()) << sleeper.startError();
    const ProcessResult late = sleeper.wait(std::chrono::milliseconds(100));
    EXPECT_TRUE(late.timedOut);
    EXPECT_FALSE(late.exited);
    EXPECT_EQ(late.describe(), "timed out");

    const ProcessResult missing = runProcess({"/nonexistent/kalo-program", "-x"}, work.path());
    EXPECT_FALSE(missing.exited);
    EXPECT_EQ(missing.describe(), "not started");
    EXPECT_NE(missing.err.find("cannot start /nonexistent/kalo-program"), std::string::npos) << missing.err;
}

TEST(ClipFactory, FileNamesReachFfmpegUntouchedAndFailuresSayWhatRan) {
    ScratchFolder work;
    const fs::path awkward = work / "a 'clip' \"with\" $HOME; `date` & more.mp4";
    ASSERT_TRUE(makeClip(awkward, "64x48", 0.2, work.path(), /*tone=*/false));
    const std::vector<std::string> probed = probeDecodedVideo(awkward, work.path());
    ASSERT_EQ(probed.size(), 3u);
    EXPECT_EQ(probed[0], "width=64");
    EXPECT_EQ(probed[1], "height=48");
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(work.path())) {
        EXPECT_EQ(entry.path(), awkward);  // nothing else was made, nothing left behind
        ++files;
    }
    EXPECT_EQ(files, 1);

    bool made = true;
    EXPECT_NONFATAL_FAILURE(made = runFfmpeg({"-f", "lavfi", "-i", "no_such_source", "out.mp4"}, work.path()),
                            "ffmpeg failed (exit code");
    EXPECT_FALSE(made);
    EXPECT_NONFATAL_FAILURE(clip("no-such-clip.mp4"), "no recipe for clip no-such-clip.mp4");
}

TEST(SoftwareCanvas, ReadsBackWhatWasDrawn) {
    SoftwareCanvas canvas(40, 30);
    ASSERT_NE(canvas.renderer, nullptr) << SDL_GetError();
    canvas.clear();
    EXPECT_EQ(canvas.pixel(0, 0), rgba(SoftwareCanvas::background));
    const SDL_Rect square{10, 5, 8, 6};
    SDL_SetRenderDrawColor(canvas.renderer, 200, 30, 90, 255);
    SDL_RenderFillRect(canvas.renderer, &square);
    EXPECT_EQ(canvas.pixel(10, 5), (Rgba{200, 30, 90, 255}));
    EXPECT_EQ(canvas.pixel(18, 5), rgba(SoftwareCanvas::background));
    EXPECT_EQ(canvas.countDiffering({0, 0, 40, 30}, rgba(SoftwareCanvas::background)), 8 * 6);
}

}  // namespace
}  // namespace kalo::test
