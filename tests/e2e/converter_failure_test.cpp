// A converter that fails in the middle of a job, by an error or killed from outside: the
// person is told, with the converter's last word, and can start again at once.
#include <signal.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "e2e_fixture.h"

namespace kalo::e2e {
namespace {

namespace fs = std::filesystem;

const char* const statusRow = "frame=    3 fps=0.0 q=0.0 size=       0kB time=00:00:00.12 bitrate=N/A speed=   0x";

class ConverterFailure : public EndToEnd {
protected:
    // Starts the application with `converter`, opens a clip and remembers the idle convert face.
    void prepare(const fs::path& converter) {
        for (int box = 0; box < 2; ++box) dialog->queueBoxClose();
        const fs::path clip = makeClip("clip.mp4", 2.0);
        ASSERT_TRUE(startApp({{}, {}, {}, {{"KALO_CONVERTER", converter.string()}}}));
        ASSERT_TRUE(openSourceByButton(clip));
        ASSERT_TRUE(restPointer());
        idleFace = grab(layout.convertControl);
    }

    // Job `number` failed: the error box, then the convert face, and no completion text.
    void expectFailureShown(std::size_t number, const std::string& reason) {
        ASSERT_TRUE(waitForOutput(jobFinishedLine, number, 30));
        std::string said;
        ASSERT_TRUE(expectBox(number, "错误", &said));
        EXPECT_NE(said.find(reason), std::string::npos) << said;
        EXPECT_EQ(dialog->boxCount(), number) << "one box per failed job";
        ASSERT_TRUE(restPointer());
        ASSERT_TRUE(waitForPicture(layout.convertControl, [&](const Picture& p) { return p == idleFace; }, 10,
                                   "the convert face back after the failure"));
        EXPECT_EQ(occurrences(completionShownLine), 0u) << "a failed job is not complete";
    }

    // The stand-in writes its process id once it runs.
    static bool waitForFile(const fs::path& file, double seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        for (;;) {
            std::error_code missing;
            if (fs::file_size(file, missing) > 0 && !missing) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    Picture idleFace;
};

TEST_F(ConverterFailure, ErrorExitIsShownWithTheConvertersLastLine) {
    const fs::path converter = writeConverterScript(
        "failing-converter", std::string("printf '%s\\r' '") + statusRow +
                                 "' >&2\nsleep 1\necho 'Error: disk full' >&2\nexit 1\n");
    ASSERT_NO_FATAL_FAILURE(prepare(converter));

    ASSERT_TRUE(convertWithSaveDialog(root / "first_SBS.mp4", 1));
    ASSERT_NO_FATAL_FAILURE(expectFailureShown(1, "Error: disk full"));

    // The screen is usable at once: the next press starts the next job.
    ASSERT_TRUE(convertWithSaveDialog(root / "second_SBS.mp4", 2));
    ASSERT_NO_FATAL_FAILURE(expectFailureShown(2, "Error: disk full"));
    ASSERT_TRUE(quitWithEscape());
}

TEST_F(ConverterFailure, KilledConverterIsShownAsAFailure) {
    const fs::path pidFile = root / "converter.pid";
    const fs::path converter = writeConverterScript(
        "stalling-converter", "echo $$ > '" + pidFile.string() + "'\nprintf '%s\\r' '" + statusRow +
                                  "' >&2\nexec sleep 60\n");
    ASSERT_NO_FATAL_FAILURE(prepare(converter));

    for (std::size_t job = 1; job <= 2; ++job) {  // the second job: the screen is usable again
        fs::remove(pidFile);
        ASSERT_TRUE(convertWithSaveDialog(root / ("killed-" + std::to_string(job) + "_SBS.mp4"), job));
        ASSERT_TRUE(waitForFile(pidFile, 15)) << "the stand-in converter did not start";
        ASSERT_TRUE(waitForOutput("frame=", job, 15));
        pid_t converterPid = 0;
        std::ifstream(pidFile) >> converterPid;
        ASSERT_GT(converterPid, 0);
        ASSERT_EQ(kill(converterPid, SIGKILL), 0);
        ASSERT_NO_FATAL_FAILURE(expectFailureShown(job, "signal 9"));
    }
    ASSERT_TRUE(quitWithEscape());
}

}  // namespace
}  // namespace kalo::e2e
