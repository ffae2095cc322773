#pragma once
// What every end-to-end test shares: a scratch folder with a fresh HOME and XDG folders, the
// stand-in file dialog first on PATH, the real application started under the virtual
// display, its standard output to watch, the screen layout to press, and screenshots of
// every step kept in tests/e2e-shots/<Suite>.<Test>/ of the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app_process.h"
#include "desktop_session.h"
#include "screen_layout.h"
#include "stand_in_dialog.h"

namespace kalo::e2e {

// What the application prints at the steps a test waits for.
extern const char* const jobStartedLine;   // "Event get the thread start signal !"
extern const char* const jobFinishedLine;  // "Event get the thread finish signal !"
extern const char* const completionShownLine;
extern const char* const completionHiddenLine;

class EndToEnd : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    struct Launch {
        std::filesystem::path program;           // default: kalo-converter of the build
        std::filesystem::path workingDirectory;  // default: the build's bin folder
        std::vector<std::string> arguments;
        std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
    };
    // Starts the application and waits for its main window.
    testing::AssertionResult startApp(Launch launch = {});
    testing::AssertionResult appStillRunning();
    // The application's exit status once it ended by itself; -1000 when it was still running
    // after `seconds` (it is then ended, with the converters it started).
    int waitForAppExit(double seconds);
    // Escape with no job running: the application ends with exit code 0.
    testing::AssertionResult quitWithEscape();

    // A 640x360, 25 fps testsrc2 clip with a sine tone (H.264 + AAC), made with ffmpeg.
    std::filesystem::path makeClip(const std::string& name, double seconds);
    // A converter stand-in: a shell script with `body`, passed to the application through
    // KALO_CONVERTER by the caller.
    std::filesystem::path writeConverterScript(const std::string& name, const std::string& body);

    // --- The application's standard output ---
    std::string output() const;
    std::size_t occurrences(const std::string& text) const;
    // Waits until `text` was printed at least `count` times.
    testing::AssertionResult waitForOutput(const std::string& text, std::size_t count, double seconds);

    // --- What a person does ---
    void shot(const std::string& step);
    testing::AssertionResult click(Point point, const std::string& what);
    testing::AssertionResult pressKeys(const std::string& keys);
    // Parks the pointer on the bare background at the bottom left, so that no hover effect
    // colours the pictures a test compares.
    testing::AssertionResult restPointer();
    // Waits until the application has shown its `number`th message box (counted from the
    // start of the test) and checks its title; `text` receives what it said. The box's
    // answer must have been queued on `dialog` before the step that shows it.
    testing::AssertionResult expectBox(std::size_t number, const std::string& title, std::string* text = nullptr,
                                       double seconds = 15);
    // Polls a part of the main window until `accept` holds.
    testing::AssertionResult waitForPicture(const Area& area, const std::function<bool(const Picture&)>& accept,
                                            double seconds, const std::string& what);
    Picture grab(const Area& area) const;

    // --- The converter screen's road ---
    // Source button, the open dialog answered with `clip`, then the thumbnail shows.
    testing::AssertionResult openSourceByButton(const std::filesystem::path& clip);
    testing::AssertionResult waitForThumbnail();
    // Opens the pull-down list, waits for its rows to settle and presses row `row`.
    testing::AssertionResult pickRow(const PullDownPlace& list, int row, const std::string& name);
    // Check box ticked: the convert press asks for the output file, answered with `output`;
    // then the job starts (the `jobNumber`th start line).
    testing::AssertionResult convertWithSaveDialog(const std::filesystem::path& output, std::size_t jobNumber);
    // Follows a running job to its end: the "frame=" progress on standard output and the
    // progress area changing on the screen. `distinctPictures` receives how many different
    // pictures of the progress area were seen while the job ran.
    testing::AssertionResult followJob(std::size_t jobNumber, double seconds, int* distinctPictures = nullptr);

    std::filesystem::path root;  // the test's scratch folder
    std::filesystem::path home;
    std::filesystem::path shotsFolder;
    std::unique_ptr<StandInDialog> dialog;
    std::unique_ptr<DesktopSession> desktop;
    ScreenLayout layout;
    AppProcess app;
    unsigned long window = 0;

private:
    void endApp();
    std::string outputTail() const;
    int shotNumber = 0;
    int launches = 0;
    bool appRunning = false;
};

// Checks the converter's result as a player would see it: side-by-side 1920 x 1080 H.264
// with the sound kept and the stereo marking.
testing::AssertionResult isSideBySide1080pWithSound(const std::filesystem::path& file,
                                                    const std::filesystem::path& work);
// ffmpeg decodes every frame of the file without an error; `frames` receives their number.
testing::AssertionResult decodesCleanly(const std::filesystem::path& file, const std::filesystem::path& work,
                                        int* frames = nullptr);

}  // namespace kalo::e2e
