// The source's timing survives the conversion: variable frame rates keep every
// timestamp, audio that MP4 cannot hold is encoded to AAC and keeps its length, and
// -ss / -t cut the output as in FFmpeg.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "media_fixtures.h"

namespace kalo::test {
namespace {

double number(const nlohmann::json& value) {
    return value.is_string() ? std::atof(value.get<std::string>().c_str()) : value.get<double>();
}

std::vector<double> packetTimes(const nlohmann::json& packets) {
    std::vector<double> times;
    for (const nlohmann::json& packet : packets["packets"]) times.push_back(number(packet["pts_time"]));
    std::sort(times.begin(), times.end());
    return times;
}

TEST(Timing, VariableFrameRateAndPcmAudioKeepTheirTiming) {
    ScratchFolder work;
    const auto source = work / "vfr.mkv";
    const auto output = work / "vfr out.mp4";
    // 20 frames at 25 fps, a gap of half a second, then 30 frames at 12.5 fps (in ticks of
    // 1/25 s, the source's time base); PCM audio.
    ASSERT_TRUE(runFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=320x180:rate=25:duration=2", "-f", "lavfi", "-i",
                        "sine=duration=2", "-vf", "setpts='if(lt(N,20),N,33+(N-20)*2)'", "-fps_mode",
                        "passthrough", "-c:v", "libx264", "-c:a", "pcm_s16le", source.u8string()},
                       work.path()));
    const ProcessResult run = runProcess(applicationCommand(source, output, "", "320:180"), work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::vector<double> before = packetTimes(probePackets(source, "v", work.path()));
    const std::vector<double> after = packetTimes(probePackets(output, "v", work.path()));
    ASSERT_EQ(before.size(), 50u);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_NEAR(after[i], before[i], 0.002) << "frame " << i;

    const nlohmann::json probed = probe(output, work.path());
    const nlohmann::json* video = streamOfType(probed, "video");
    const nlohmann::json* audio = streamOfType(probed, "audio");
    ASSERT_NE(video, nullptr);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ((*audio)["codec_name"], "aac");
    EXPECT_NEAR(number((*audio)["duration"]), 2.0, 0.05);
    // The last frame keeps the length of the one before it.
    EXPECT_NEAR(number((*video)["duration"]), (33 + 30 * 2) * 0.04, 0.005);
}

TEST(Timing, StartAndDurationCutTheOutput) {
    ScratchFolder work;
    const auto source = work / "clip.mp4";
    ASSERT_TRUE(makeClip(source, "320x180", 3.0, work.path()));
    struct Cut {
        std::vector<std::string> before;  // options before -i
        std::vector<std::string> after;   // options after -i
    };
    const std::vector<Cut> cuts = {
        {{"-ss", "1"}, {"-t", "1.2"}},
        {{}, {"-ss", "1", "-t", "1.2"}},
    };
    for (const Cut& cut : cuts) {
        const auto output = work / "cut.mp4";
        std::vector<std::string> command = {kaloDepth()};
        command.insert(command.end(), cut.before.begin(), cut.before.end());
        command.insert(command.end(), {"-i", source.u8string(), "-vf", "depth=outputmode=sbs,scale=320:180"});
        command.insert(command.end(), cut.after.begin(), cut.after.end());
        command.insert(command.end(), {"-y", output.u8string()});
        const ProcessResult run = runProcess(command, work.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const nlohmann::json probed = probe(output, work.path());
        const nlohmann::json* video = streamOfType(probed, "video");
        const nlohmann::json* audio = streamOfType(probed, "audio");
        ASSERT_NE(video, nullptr);
        ASSERT_NE(audio, nullptr);
        EXPECT_EQ(number((*video)["nb_frames"]), 30);
        EXPECT_NEAR(number((*video)["start_time"]), 0.0, 0.01);
        EXPECT_NEAR(number((*audio)["duration"]), 1.2, 0.05);
        // The first picture is the source's picture at 1 s (testsrc2 prints its time).
        const GreyPicture first = grabGrey(output, 0, work.path());
        const GreyPicture expected = grabGrey(source, 1.0, work.path());
        const GreyPicture wrong = grabGrey(source, 0.0, work.path());
        ASSERT_EQ(first.width, 320);
        long nearExpected = 0;
        long nearWrong = 0;
        for (int y = 0; y < 40; ++y)       // the clock in the top-left corner, squeezed into the left half
            for (int x = 0; x < 60; ++x) {
                nearExpected += std::abs(first.at(x, y) - expected.at(2 * x, y));
                nearWrong += std::abs(first.at(x, y) - wrong.at(2 * x, y));
            }
        EXPECT_LT(nearExpected, nearWrong);
    }
}

}  // namespace
}  // namespace kalo::test
