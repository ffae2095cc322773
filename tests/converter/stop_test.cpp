// Stopping kalo-depth mid-way, as the application does: the file written so far is
// finished and plays, and the exit code says the job was stopped.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "media_fixtures.h"

namespace kalo::test {
namespace {

double number(const nlohmann::json& value) {
    return value.is_string() ? std::atof(value.get<std::string>().c_str()) : value.get<double>();
}

// The largest "frame=" count on the status row so far.
long framesShown(const std::string& err) {
    const size_t at = err.rfind("frame=");
    return at == std::string::npos ? -1 : std::strtol(err.substr(at + 6, 5).c_str(), nullptr, 10);
}

struct StopCase {
    const char* name;
    std::vector<int> signals;  // sent one after the other, 30 ms apart
};

TEST(Stop, SignalMidwayLeavesPlayableFileAndStoppedCode) {
    ScratchFolder work;
    const auto source = work / "long source.mp4";
    ASSERT_TRUE(makeClip(source, "640x360", 12.0, work.path()));

    const std::vector<StopCase> cases = {
        {"SIGINT", {SIGINT}},
        {"SIGTERM, then SIGINT during the flush", {SIGTERM, SIGINT}},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto output = work / "stopped.mp4";
        {
            std::ofstream old(output);
            old << "an older file at the output path";
        }
        ChildProcess child(applicationCommand(source, output), work.path());
        ASSERT_TRUE(child.started());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (framesShown(child.errorSoFar()) < 10 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_GE(framesShown(child.errorSoFar()), 10) << child.errorSoFar();
        for (const int signal : c.signals) {
            child.sendSignal(signal);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        const ProcessResult result = child.wait(std::chrono::seconds(60));
        ASSERT_TRUE(result.exited) << "signal " << result.signal << "\n" << result.err;
        EXPECT_EQ(result.exitCode, 255) << result.err;
        EXPECT_NE(result.err.find("Stopped"), std::string::npos) << result.err;

        // The stopped file replaced the old one and plays from start to end without errors.
        const nlohmann::json probed = probe(output, work.path());
        ASSERT_FALSE(probed.is_null()) << result.err;
        const nlohmann::json* video = streamOfType(probed, "video");
        const nlohmann::json* audio = streamOfType(probed, "audio");
        ASSERT_NE(video, nullptr);
        ASSERT_NE(audio, nullptr);
        const double videoSeconds = number((*video)["duration"]);
        EXPECT_GT(videoSeconds, 0.3);
        EXPECT_LT(videoSeconds, 11.0);
        EXPECT_NEAR(number((*audio)["duration"]), videoSeconds, 0.15) << "audio ends with the video";
        const ProcessResult decode =
            runProcess({"ffmpeg", "-nostdin", "-v", "error", "-i", output.u8string(), "-f", "null", "-"}, work.path());
        EXPECT_EQ(decode.exitCode, 0);
        EXPECT_EQ(decode.err, "");
        EXPECT_EQ(temporaryFilesIn(work.path()), 0);
    }
}

}  // namespace
}  // namespace kalo::test
