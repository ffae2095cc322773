// The containers kalo-depth writes: MP4 and Matroska, both marked side by side; every
// other container is refused before anything is written. Odd picture sizes are trimmed to
// what H.264 takes, and the user is told.
#include <gtest/gtest.h>

#include "media_fixtures.h"

namespace kalo::test {
namespace {

namespace fs = std::filesystem;

std::string lastLine(const std::string& err) {
    std::string text = err;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const size_t start = text.find_last_of("\n\r");
    return start == std::string::npos ? text : text.substr(start + 1);
}

bool hasStereoSideBySide(const nlohmann::json& stream) {
    if (!stream.contains("side_data_list")) return false;
    for (const nlohmann::json& data : stream["side_data_list"])
        if (data.value("side_data_type", "") == "Stereo 3D" && data.value("type", "") == "side by side") return true;
    return false;
}

TEST(OutputContainer, MatroskaCarriesStereoModeAndPlays) {
    ScratchFolder work;
    const fs::path source = work / "in.mp4";
    ASSERT_TRUE(makeClip(source, "320x180", 1.0, work.path()));
    const fs::path output = work / "out.mkv";

    const ProcessResult result = runProcess(applicationCommand(source, output, "", "640:360"), work.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const nlohmann::json probed = probe(output, work.path());
    ASSERT_FALSE(probed.is_null());
    EXPECT_EQ(probed["format"].value("format_name", ""), "matroska,webm");
    const nlohmann::json* video = streamOfType(probed, "video");
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(video->contains("tags"));
    EXPECT_EQ((*video)["tags"].value("stereo_mode", ""), "left_right");  // Matroska's StereoMode
    EXPECT_TRUE(hasStereoSideBySide(*video));
    EXPECT_NE(streamOfType(probed, "audio"), nullptr);
    const ProcessResult decode = decodeAll(output, work.path());
    EXPECT_EQ(decode.exitCode, 0);
    EXPECT_EQ(decode.err, "");
}

TEST(OutputContainer, OtherContainersAreRefusedBeforeAnythingIsWritten) {
    ScratchFolder work;
    const fs::path source = work / "in.mp4";
    ASSERT_TRUE(makeClip(source, "160x90", 0.5, work.path()));
    for (const char* name : {"out.avi", "out.mov", "out.ts", "out.webm", "out"}) {
        SCOPED_TRACE(name);
        const ProcessResult result = runProcess(applicationCommand(source, work / name, "", "320:180"), work.path());
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(lastLine(result.err).find("MP4 (.mp4) or Matroska (.mkv)"), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(work / name));
        EXPECT_EQ(temporaryFilesIn(work.path()), 0);
    }
}

struct OddSize {
    const char* name;
    const char* filters;  // -vf
    int width;
    int height;
};

TEST(OutputContainer, OddPictureSizesAreTrimmedWithOneLine) {
    ScratchFolder work;
    const fs::path source = work / "odd.mkv";
    ASSERT_TRUE(runFfmpeg({"-f", "lavfi", "-i", "testsrc=size=321x181:rate=25:duration=0.4", "-c:v", "ffv1",
                        source.u8string()},
                       work.path()));
    const std::vector<OddSize> cases = {
        {"odd source", "depth=outputmode=sbs", 320, 180},
        {"odd scale after depth", "depth=outputmode=sbs,scale=641:361", 640, 360},
        {"odd source without depth", "null", 320, 180},
    };
    for (const OddSize& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path output = work / "out.mp4";
        const ProcessResult result = runProcess(
            {kaloDepth(), "-hide_banner", "-nostats", "-i", source.u8string(), "-vf", c.filters, "-y", output.u8string()},
            work.path());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.err.find("trimmed by one pixel to " + std::to_string(c.width) + "x" + std::to_string(c.height)),
                  std::string::npos)
            << result.err;
        const nlohmann::json probed = probe(output, work.path());
        const nlohmann::json* video = streamOfType(probed, "video");
        ASSERT_NE(video, nullptr);
        EXPECT_EQ((*video)["width"], c.width);
        EXPECT_EQ((*video)["height"], c.height);
    }
}

}  // namespace
}  // namespace kalo::test
