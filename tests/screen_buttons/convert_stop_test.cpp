// A conversion started from the convert button with the real converter: the save dialog
// (a stand-in zenity) names the output, the converter writes it, and a confirmed stop ends
// the job with a playable file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "clip_factory.h"
#include "config/json_base.h"
#include "config/option_tables.h"
#include "conversion/conversion_job.h"
#include "conversion/converter_location.h"
#include "media_probe.h"
#include "scene/user_events.h"
#include "scripted_boxes.h"
#include "screen/conver_cover_button.h"
#include "screen_button_support.h"

using namespace screentest;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

#ifdef KALO_HAVE_CONVERTER
namespace {

// The next user event with `code`, waiting at most `limit`; false when none came.
bool waitForUserEvent(Sint32 code, std::chrono::milliseconds limit, SDL_Event* found = nullptr) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_USEREVENT && event.user.code == code) {
                if (found) *found = event;
                return true;
            }
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// The converter writes beside the output under a temporary name until it is finished.
std::uintmax_t bytesWritten(const fs::path& output) {
    std::uintmax_t largest = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(output.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(output.filename().string(), 0) != 0) continue;
        std::error_code sizeError;
        const auto size = fs::file_size(entry.path(), sizeError);
        if (!sizeError && size > largest) largest = size;
    }
    return largest;
}

// Whatever happens in the test, no converter outlives it.
struct StopConverterAtEnd {
    ~StopConverterAtEnd() {
        breakRunningConverter();
        waitForConversionWorker(30s);
    }
};

}  // namespace

TEST(ConvertFromTheButton, RunsTheRealConverterAndAConfirmedStopLeavesAPlayableFile) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER), 0) << SDL_GetError();
    ASSERT_EQ(TTF_Init(), 0);
    refreshOptionTables();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const fs::path folder = testFolder();
    const fs::path source = folder / "源 clip -1 $x.mp4";
    ASSERT_TRUE(kalo::test::makeClip(source, "320x240", 60, folder, /*tone=*/false));

    ScopedEnvironment environment;
    environment.set(converterEnvironmentVariable, std::string(KALO_BIN_DIR) + "/kalo-depth");

    auto record = std::make_shared<WindowsManager>();
    JobSnapshot job = record->snapshot();
    job.input = wide(source);
    ASSERT_TRUE(record->update(job));
    bool converting = false;
    ConverCoverButton cover(nullptr, nullptr, {180, 77}, {884, 522}, &converting);
    cover.job = record;

    StopConverterAtEnd stopAtEnd;
    ScriptedBoxes boxes({1});  // the stop question is answered "确定"
    const fs::path outputFolder = folder / "出 out \"q\"";
    {
        StandInDialogs dialogs(folder);
        fs::create_directories(outputFolder);
        dialogs.answer((outputFolder / "-result").string());  // no extension typed
        ASSERT_TRUE(cover.onPress({960, 560}));
    }
    const fs::path output = outputFolder / "-result.mp4";
    EXPECT_EQ(record->output, wide(output));
    EXPECT_EQ(record->command, COMMAND_CONVERT);
    ASSERT_TRUE(waitForUserEvent(EVT_CONVERSION_STARTED, 10s));
    converting = true;  // as the screen does on event 10

    // Let it write a part of the film, then stop it.
    const auto deadline = Clock::now() + 90s;
    while (bytesWritten(output) < 20000 && Clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    ASSERT_GE(bytesWritten(output), 20000u) << "the converter wrote nothing";
    ASSERT_TRUE(cover.onPress({960, 560}));
    EXPECT_FALSE(converting);  // at once, before the converter has ended
    EXPECT_EQ(boxes.requests().size(), 1u);

    SDL_Event finished;
    ASSERT_TRUE(waitForUserEvent(EVT_CONVERSION_FINISHED, 60s, &finished));
    EXPECT_EQ(jobOutcomeOf(finished), JobOutcome::Stopped);
    EXPECT_TRUE(waitForConversionWorker(10s));
    EXPECT_TRUE(fs::exists(source));

    // Playable: every frame it holds decodes, side by side at the chosen size, and fewer
    // than the source has.
    const std::vector<std::string> probed = kalo::test::probeDecodedVideo(output, folder);
    ASSERT_EQ(probed.size(), 3u);
    const std::string& frames = probed[2];
    EXPECT_EQ(probed[0], "width=1920");
    EXPECT_EQ(probed[1], "height=1080");
    ASSERT_EQ(frames.rfind("nb_read_frames=", 0), 0u) << frames;
    const int count = std::stoi(frames.substr(15));
    EXPECT_GT(count, 0);
    EXPECT_LT(count, 1500);
    SDL_Quit();
}
#endif
