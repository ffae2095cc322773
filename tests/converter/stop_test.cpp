// Stopping kalo-depth mid-way, as the application does: the file written so far is
// finished and plays, and the exit code says the job was stopped.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
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

// The time a stopped converter may take to exit. Sanitized builds are several times slower,
// at exit too (the leak check walks the heap), so tools/sanitize.sh stretches it with
// KALO_TEST_TIME_SCALE; a converter that ignores the stop still never exits.
std::chrono::milliseconds stopExitLimit() {
    const char* scale = std::getenv("KALO_TEST_TIME_SCALE");
    const long factor = scale ? std::max(1L, std::strtol(scale, nullptr, 10)) : 1L;
    return std::chrono::milliseconds(1000 * factor);
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
        {"SIGHUP (the terminal was closed)", {SIGHUP}},
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
        const ProcessResult decode = decodeAll(output, work.path());
        EXPECT_EQ(decode.exitCode, 0);
        EXPECT_EQ(decode.err, "");
        EXPECT_EQ(temporaryFilesIn(work.path()), 0);
    }
}


// Waits until `text` shows up on the child's standard error.
bool waitForText(const ChildProcess& child, const std::string& text, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (child.errorSoFar().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A FIFO whose writer sends `bytes` and then holds it open without writing more, until the
// object goes. Empty `bytes`: no writer ever comes.
class StalledWriter {
public:
    StalledWriter(const std::filesystem::path& fifo, std::string bytes) : fifo_(fifo) {
        if (bytes.empty()) return;
        thread_ = std::thread([this, bytes] {
            const int fd = open(fifo_.c_str(), O_WRONLY);
            if (fd < 0) return;
            for (size_t done = 0; done < bytes.size();) {
                const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            while (!release_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            close(fd);
        });
    }
    ~StalledWriter() {
        release_ = true;
        if (thread_.joinable()) thread_.join();
    }

private:
    std::filesystem::path fifo_;
    std::atomic<bool> release_{false};
    std::thread thread_;
};

struct BlockedInput {
    const char* name;
    size_t bytesBeforeStall;  // 0: no writer at all
    const char* shownBeforeStop;  // what the converter prints once it is blocked
};

// An input that never delivers: one stop request ends the blocked open or read at once.
TEST(Stop, OneRequestEndsABlockedInputWithinASecond) {
    ScratchFolder work;
    const auto clip = work / "clip.mkv";
    ASSERT_TRUE(runFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=160x90:rate=25:duration=8", "-c:v", "libx264", "-preset",
                        "ultrafast", "-pix_fmt", "yuv420p", clip.u8string()},
                       work.path()));
    const std::string clipBytes = readFile(clip);

    const std::vector<BlockedInput> inputs = {
        {"FIFO with no writer", 0, ""},
        {"writer that stalls mid-stream", clipBytes.size() / 3, "frame="},
    };
    for (const BlockedInput& input : inputs) {
        SCOPED_TRACE(input.name);
        const auto fifo = work / "input.fifo";
        std::filesystem::remove(fifo);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        const auto output = work / "out.mp4";
        {
            std::ofstream old(output);
            old << "an older file at the output path";
        }
        StalledWriter writer(fifo, clipBytes.substr(0, input.bytesBeforeStall));
        ChildProcess child({kaloDepth(), "-i", fifo.u8string(), "-vf", "depth=outputmode=sbs", "-y", output.u8string()},
                           work.path());
        ASSERT_TRUE(child.started());
        if (*input.shownBeforeStop) {
            ASSERT_TRUE(waitForText(child, input.shownBeforeStop, std::chrono::seconds(60)));
        }
        // Long enough to be blocked: the whole stalled part takes well under this.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        child.sendSignal(SIGINT);
        const ProcessResult result = child.wait(stopExitLimit());
        ASSERT_FALSE(result.timedOut) << "still running " << stopExitLimit().count()
                                      << " ms after the stop request\n" << result.err;
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.exitCode, 255) << result.err;
        EXPECT_NE(result.err.find("Stopped"), std::string::npos) << result.err;
        EXPECT_EQ(temporaryFilesIn(work.path()), 0);
        if (input.bytesBeforeStall == 0) {
            EXPECT_EQ(readFile(output), "an older file at the output path");
        } else {
            const ProcessResult decode = decodeAll(output, work.path());
            EXPECT_EQ(decode.exitCode, 0);
            EXPECT_EQ(decode.err, "");
        }
    }
}

// The third request ends the process at once, taking its unfinished temporary file along;
// the file at the output path stays as it was.
TEST(Stop, ThirdRequestExitsAtOnce) {
    ScratchFolder work;
    const auto source = work / "source.mp4";
    ASSERT_TRUE(makeClip(source, "640x360", 6.0, work.path()));
    const auto output = work / "out.mp4";
    {
        std::ofstream old(output);
        old << "an older file at the output path";
    }
    ChildProcess child(applicationCommand(source, output), work.path());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (framesShown(child.errorSoFar()) < 5 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_GE(framesShown(child.errorSoFar()), 5) << child.errorSoFar();
    // Three different signals: a signal that is already pending would merge with its repeat.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) child.sendSignal(signal);
    const ProcessResult result = child.wait(std::chrono::seconds(30));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.exitCode, 255) << result.err;
    EXPECT_NE(result.err.find("exiting at once"), std::string::npos) << result.err;
    EXPECT_EQ(readFile(output), "an older file at the output path");
    EXPECT_EQ(temporaryFilesIn(work.path()), 0);
}

// Once the whole input was read, a stop lets the last pictures through if they need no more
// than a moment: the file has every frame and the exit code says the job completed. When
// far more is still queued (1080p pictures through depth and libx264), waiting for them
// would hold the stop for seconds, so the stop takes effect as it does mid-run.
TEST(Stop, RequestAfterTheInputWasRead) {
    struct Case {
        const char* name;
        const char* sourceSize;
        const char* outputSize;
        double seconds;
        bool completes;
    };
    const std::vector<Case> cases = {
        {"a few small pictures left: completed", "320x180", "320:180", 2.0, true},
        {"many 1080p pictures left: stopped", "1920x1080", "1920:1080", 3.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder work;
        const auto source = work / "source.mp4";
        ASSERT_TRUE(makeClip(source, c.sourceSize, c.seconds, work.path()));
        const auto output = work / "out.mp4";
        std::vector<std::string> command = applicationCommand(source, output, "", c.outputSize);
        command.insert(command.begin() + 1, {"-loglevel", "verbose"});
        ChildProcess child(command, work.path());
        ASSERT_TRUE(waitForText(child, "The input was read to its end", std::chrono::seconds(120)))
            << child.errorSoFar();
        child.sendSignal(SIGINT);
        const ProcessResult result = child.wait(std::chrono::seconds(60));
        ASSERT_TRUE(result.exited) << result.err;
        const nlohmann::json packets = probePackets(output, "v", work.path());
        ASSERT_TRUE(packets.contains("packets")) << result.err;
        const size_t sourceFrames = static_cast<size_t>(c.seconds * 25);
        if (c.completes) {
            EXPECT_EQ(result.exitCode, 0) << result.err;
            EXPECT_EQ(result.err.find("Stopped"), std::string::npos) << result.err;
            EXPECT_EQ(packets["packets"].size(), sourceFrames);
        } else {
            EXPECT_EQ(result.exitCode, 255) << result.err;
            EXPECT_NE(result.err.find("The last pictures need longer: stopping"), std::string::npos) << result.err;
            EXPECT_GT(packets["packets"].size(), 0u);
            EXPECT_LT(packets["packets"].size(), sourceFrames);
        }
        EXPECT_EQ(temporaryFilesIn(work.path()), 0);
    }
}

}  // namespace
}  // namespace kalo::test
