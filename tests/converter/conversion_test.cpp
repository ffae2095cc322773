// kalo-depth converting real clips end to end, as the application runs it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

#include "media_fixtures.h"

namespace kalo::test {
namespace {

double number(const nlohmann::json& value) {
    return value.is_string() ? std::atof(value.get<std::string>().c_str()) : value.get<double>();
}

bool hasStereoSideBySide(const nlohmann::json& holder) {
    if (!holder.contains("side_data_list")) return false;
    for (const nlohmann::json& data : holder["side_data_list"])
        if (data.value("side_data_type", "") == "Stereo 3D" && data.value("type", "") == "side by side") return true;
    return false;
}

// SEI payload type 45 (frame packing arrangement) in the first access unit, as FFmpeg's
// trace_headers bitstream filter reads it.
bool hasFramePackingSei(const std::filesystem::path& file, const std::filesystem::path& work) {
    const ProcessResult trace = runProcess({"ffmpeg", "-nostdin", "-v", "verbose", "-i", file.u8string(), "-c:v",
                                            "copy", "-bsf:v", "trace_headers", "-frames:v", "1", "-f", "null", "-"},
                                           work);
    return trace.err.find("last_payload_type_byte                               00101101 = 45") != std::string::npos;
}

TEST(Conversion, ApplicationCommandGivesSideBySide1080pWithAudio) {
    ScratchFolder work;
    const auto source = work / "source clip.mp4";
    const auto output = work / "结果 SBS.mp4";
    ASSERT_TRUE(makeClip(source, "320x180", 2.0, work.path()));

    const ProcessResult run = runProcess(applicationCommand(source, output), work.path());
    ASSERT_TRUE(run.exited) << run.err;
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const nlohmann::json in = probe(source, work.path());
    const nlohmann::json out = probe(output, work.path());
    ASSERT_FALSE(out.is_null());
    const nlohmann::json* video = streamOfType(out, "video");
    const nlohmann::json* audio = streamOfType(out, "audio");
    ASSERT_NE(video, nullptr);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ((*video)["codec_name"], "h264");
    EXPECT_NE((*video)["profile"].get<std::string>().find("Baseline"), std::string::npos) << (*video)["profile"];
    EXPECT_EQ((*video)["width"], 1920);
    EXPECT_EQ((*video)["height"], 1080);
    EXPECT_EQ((*video)["pix_fmt"], "yuv420p");
    EXPECT_EQ((*audio)["codec_name"], "aac");
    EXPECT_NEAR(number(out["format"]["duration"]), number(in["format"]["duration"]), 0.05);
    EXPECT_NEAR(number((*video)["duration"]), 2.0, 0.05);

    // AAC fits MP4, so the audio is copied packet for packet.
    const nlohmann::json sourcePackets = probePackets(source, "a", work.path());
    const nlohmann::json outputPackets = probePackets(output, "a", work.path());
    ASSERT_EQ(sourcePackets["packets"].size(), outputPackets["packets"].size());
    for (size_t i = 0; i < sourcePackets["packets"].size(); ++i)
        ASSERT_EQ(sourcePackets["packets"][i]["size"], outputPackets["packets"][i]["size"]) << "packet " << i;

    // Players learn that the picture is side by side from the container and the stream.
    EXPECT_TRUE(hasStereoSideBySide(*video)) << "st3d box: " << video->dump();
    EXPECT_TRUE(hasFramePackingSei(output, work.path()));

    // The index comes first, so playback can start before the whole file is read.
    const std::vector<std::string> boxes = topLevelBoxes(output);
    const auto moov = std::find(boxes.begin(), boxes.end(), "moov");
    const auto mdat = std::find(boxes.begin(), boxes.end(), "mdat");
    ASSERT_TRUE(moov != boxes.end() && mdat != boxes.end());
    EXPECT_LT(moov - boxes.begin(), mdat - boxes.begin());

    // The status line: rewritten with "\r" only, its count right-aligned after "frame=",
    // and the last one tells every frame.
    const size_t first = run.err.find("frame=");
    ASSERT_NE(first, std::string::npos) << run.err;
    const size_t finalNewline = run.err.find('\n', first);
    ASSERT_NE(finalNewline, std::string::npos);
    const std::string statusRun = run.err.substr(first, finalNewline - first);
    const size_t last = statusRun.rfind("frame=");
    EXPECT_EQ(std::strtol(statusRun.substr(last + 6, 5).c_str(), nullptr, 10), 50) << statusRun.substr(last);
    for (size_t at = statusRun.find("frame="); at != std::string::npos; at = statusRun.find("frame=", at + 1)) {
        if (at > 0) {
            EXPECT_EQ(statusRun[at - 1], '\r');
        }
    }
    EXPECT_EQ(temporaryFilesIn(work.path()), 0);
}

// outputmode=depth: the depth map as a grey picture, and nothing tells players it is 3D.
TEST(Conversion, DepthMapOutputIsGreyWithoutStereoSignalling) {
    ScratchFolder work;
    const auto source = work / "source.mp4";
    const auto output = work / "depth.mp4";
    ASSERT_TRUE(makeClip(source, "320x180", 1.0, work.path()));
    const ProcessResult run = runProcess(
        {kaloDepth(), "-i", source.u8string(), "-vf", "depth=outputmode=depth", "-y", output.u8string()}, work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const nlohmann::json probed = probe(output, work.path());
    const nlohmann::json* video = streamOfType(probed, "video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ((*video)["width"], 320);
    EXPECT_FALSE(hasStereoSideBySide(*video));
    EXPECT_FALSE(hasFramePackingSei(output, work.path()));

    const auto raw = work / "frame.yuv";
    ASSERT_TRUE(runFfmpeg({"-ss", "0.5", "-i", output.u8string(), "-frames:v", "1", "-f", "rawvideo", "-pix_fmt",
                        "yuv420p", raw.u8string()},
                       work.path()));
    const std::string bytes = readFile(raw);
    ASSERT_EQ(bytes.size(), 320u * 180u * 3u / 2u);
    int darkest = 255;
    int brightest = 0;
    for (size_t i = 0; i < 320u * 180u; ++i) {
        darkest = std::min(darkest, static_cast<int>(static_cast<unsigned char>(bytes[i])));
        brightest = std::max(brightest, static_cast<int>(static_cast<unsigned char>(bytes[i])));
    }
    EXPECT_GT(brightest - darkest, 100) << "the depth range is spread over the grey scale";
    for (size_t i = 320u * 180u; i < bytes.size(); ++i)
        ASSERT_NEAR(static_cast<unsigned char>(bytes[i]), 128, 3) << "chroma at byte " << i;
}

// A coarse look at the two views: the same scene, moved sideways only. (The depth
// algorithms' own tests check the geometry precisely.)
TEST(Conversion, HalvesShowTheSceneShiftedOnlySideways) {
    ScratchFolder work;
    const auto source = work / "source.mp4";
    const auto output = work / "sbs.mp4";
    // Texture everywhere, so every block of one view has one clear match in the other.
    ASSERT_TRUE(runFfmpeg({"-f", "lavfi", "-i",
                        "nullsrc=s=80x45:r=25:d=1,geq=lum='random(1)*255':cb=128:cr=128,"
                        "scale=320:180:flags=bicubic,format=yuv420p",
                        "-c:v", "libx264", source.u8string()},
                       work.path()));
    const ProcessResult run = runProcess(applicationCommand(source, output, "", "640:360"), work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const GreyPicture picture = grabGrey(output, 0.5, work.path());
    ASSERT_EQ(picture.width, 640);
    const int half = picture.width / 2;
    const int block = 16;
    const int reach = 12;
    std::map<int, int> horizontalShifts;
    int blocks = 0;
    int verticalMisses = 0;
    int poorMatches = 0;
    for (int by = reach + 8; by + block + reach + 8 < picture.height; by += block) {
        for (int bx = reach + 16; bx + block + reach + 16 < half; bx += block) {
            long best = -1;
            int bestDx = 0;
            int bestDy = 0;
            for (int dy = -3; dy <= 3; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    long sad = 0;
                    for (int y = 0; y < block; ++y)
                        for (int x = 0; x < block; ++x)
                            sad += std::abs(picture.at(bx + x, by + y) - picture.at(half + bx + x + dx, by + y + dy));
                    if (best < 0 || sad < best || (sad == best && std::abs(dy) < std::abs(bestDy))) {
                        best = sad;
                        bestDx = dx;
                        bestDy = dy;
                    }
                }
            }
            ++blocks;
            if (bestDy != 0) ++verticalMisses;
            if (best > block * block * 12) ++poorMatches;  // mean difference above 12 grey levels
            ++horizontalShifts[bestDx];
        }
    }
    ASSERT_GT(blocks, 50);
    EXPECT_LE(verticalMisses, blocks / 20) << "blocks that match better one row up or down";
    EXPECT_LE(poorMatches, blocks * 15 / 100) << "blocks of the left view not found in the right view";
    EXPECT_GE(horizontalShifts.size(), 2u) << "the views differ by no horizontal shift at all";
}

}  // namespace
}  // namespace kalo::test
