// Bad input and bad arguments: one clear line, exit code 1, no crash, and the file at the
// output path exactly as it was (no temporary file left beside it).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "media_fixtures.h"

namespace kalo::test {
namespace {

namespace fs = std::filesystem;

struct BadRun {
    const char* name;
    std::function<std::vector<std::string>(const fs::path& good, const fs::path& folder, const fs::path& output)> command;
    const char* expectedInLastLine;
};

TEST(BadInput, EndsWithOneLineAndLeavesTheOutputAlone) {
    ScratchFolder work;
    const fs::path good = work / "good.mp4";
    ASSERT_TRUE(makeClip(good, "320x180", 3.0, work.path()));
    const std::string goodBytes = readFile(good);

    // Cut in the middle of the pictures: the index at the front promises more.
    const fs::path truncated = work / "truncated.mp4";
    writeBytes(truncated, goodBytes.substr(0, goodBytes.size() / 2));
    // The header overwritten with garbage.
    const fs::path damaged = work / "damaged.mp4";
    writeBytes(damaged, std::string(4096, '\x5a') + goodBytes.substr(4096));
    const fs::path empty = work / "empty.mp4";
    writeBytes(empty, "");
    const fs::path audioOnly = work / "audio only.m4a";
    ASSERT_TRUE(runFfmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac", audioOnly.u8string()}, work.path()));

    const auto withInput = [](fs::path input) {
        return [input](const fs::path&, const fs::path&, const fs::path& output) {
            return applicationCommand(input, output, "", "320:180");
        };
    };
    const std::vector<BadRun> runs = {
        {"missing input", withInput(work / "no such file.mp4"), "No such file"},
        {"truncated input", withInput(truncated), "truncated"},
        {"damaged header", withInput(damaged), "damaged.mp4"},
        {"empty file", withInput(empty), "empty.mp4"},
        {"no video stream", withInput(audioOnly), "no video stream"},
        {"unknown filter before depth",
         [](const fs::path& in, const fs::path&, const fs::path& out) {
             return applicationCommand(in, out, "nosuchfilter=1", "320:180");
         },
         "nosuchfilter"},
        {"missing look-up table",
         [](const fs::path& in, const fs::path& folder, const fs::path& out) {
             return applicationCommand(in, out, "lut3d=" + (folder / "missing.cube").u8string(), "320:180");
         },
         "lut3d"},
        {"bad bit rate",
         [](const fs::path& in, const fs::path&, const fs::path& out) {
             return std::vector<std::string>{kaloDepth(), "-i", in.u8string(), "-b:v", "lots", "-y", out.u8string()};
         },
         "-b:v"},
        {"unknown depth option",
         [](const fs::path& in, const fs::path&, const fs::path& out) {
             return std::vector<std::string>{kaloDepth(), "-i", in.u8string(), "-vf", "depth=outputmode=sbs:eyes=3",
                                             "-y", out.u8string()};
         },
         "eyes"},
        {"output is the input",
         [](const fs::path& in, const fs::path&, const fs::path&) {
             return std::vector<std::string>{kaloDepth(), "-i", in.u8string(), "-y", in.u8string()};
         },
         "is the input"},
        {"existing output without -y",
         [](const fs::path& in, const fs::path&, const fs::path& out) {
             return std::vector<std::string>{kaloDepth(), "-i", in.u8string(), out.u8string()};
         },
         "already exists"},
    };

    const fs::path output = work / "previous result.mp4";
    const std::string previous = "a previous result that must survive";
    for (const BadRun& run : runs) {
        SCOPED_TRACE(run.name);
        writeBytes(output, previous);
        const ProcessResult result = runProcess(run.command(good, work.path(), output), work.path());
        ASSERT_TRUE(result.exited) << "ended by signal " << result.signal << "\n" << result.err;
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(lastLine(result.err).find(run.expectedInLastLine), std::string::npos) << result.err;
        EXPECT_EQ(readFile(output), previous);
        EXPECT_EQ(readFile(good), goodBytes);
        EXPECT_EQ(temporaryFilesIn(work.path()), 0);
    }
}

}  // namespace
}  // namespace kalo::test
