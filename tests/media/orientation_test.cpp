// Both programs on one table of clips: the preview engine draws each upright exactly when
// kalo-depth converts it upright, whichever way the file says how to turn it (display
// matrix, "rotate" tag or nothing; MP4 and Matroska), and both decode the real video of a
// file that stores a cover picture in front of it.
#include <gtest/gtest.h>

#include <string>

#include "../converter/media_fixtures.h"
#include "both_programs.h"

namespace {

namespace fs = std::filesystem;
using mediatest::Container;
using mediatest::RotationMark;

struct Clip {
    const char* name;
    Container container;
    RotationMark mark;
    int clockwise;
};

// Our FFmpeg writes a display matrix only into MP4 and keeps a "rotate" tag only in
// Matroska, so those are the pairs a real file can have.
const Clip clips[] = {
    {"mp4_plain", Container::Mp4, RotationMark::None, 0},
    {"mp4_matrix90", Container::Mp4, RotationMark::DisplayMatrix, 90},
    {"mp4_matrix180", Container::Mp4, RotationMark::DisplayMatrix, 180},
    {"mp4_matrix270", Container::Mp4, RotationMark::DisplayMatrix, 270},
    {"mkv_plain", Container::Matroska, RotationMark::None, 0},
    {"mkv_tag90", Container::Matroska, RotationMark::RotateTag, 90},
    {"mkv_tag180", Container::Matroska, RotationMark::RotateTag, 180},
    {"mkv_tag270", Container::Matroska, RotationMark::RotateTag, 270},
};

void PrintTo(const Clip& clip, std::ostream* out) { *out << clip.name; }

class Orientation : public testing::TestWithParam<Clip> {
protected:
    kalo::test::ScratchFolder scratch;
};

TEST_P(Orientation, PreviewAndConversionAreUprightTogether) {
    const Clip& clip = GetParam();
    const fs::path source =
        scratch / (std::string(clip.name) + (clip.container == Container::Mp4 ? ".mp4" : ".mkv"));
    ASSERT_TRUE(mediatest::makeTurnedClip(source, clip.container, clip.mark, clip.clockwise, scratch.path()));
    if (clip.mark == RotationMark::DisplayMatrix) {
        // The clip is what it claims: FFmpeg's own tool turns it upright.
        const mediatest::Shown byFfmpeg = mediatest::showInFfmpeg(source, scratch.path());
        ASSERT_TRUE(byFfmpeg.upright()) << byFfmpeg.problem << " " << byFfmpeg.width << "x" << byFfmpeg.height
                                        << " top " << byFfmpeg.topBrightness;
    }

    const mediatest::PreviewShown preview = mediatest::showInPreview(source);
    ASSERT_TRUE(preview.ok) << preview.problem;
    EXPECT_EQ(preview.rotation, clip.clockwise);
    EXPECT_TRUE(preview.upright()) << "preview shows " << preview.width << "x" << preview.height << ", top "
                                   << preview.topBrightness << ", bottom " << preview.bottomBrightness;

    const mediatest::ConvertedShown converted = mediatest::convertAndShow(source, scratch.path());
    ASSERT_TRUE(converted.ok) << converted.problem;
    EXPECT_FALSE(converted.displayMatrixLeft) << "the pictures are turned already";
    EXPECT_EQ(converted.width, mediatest::uprightWidth);
    EXPECT_EQ(converted.height, mediatest::uprightHeight);
    EXPECT_TRUE(converted.upright()) << "converted file shows " << converted.width << "x" << converted.height
                                     << ", top " << converted.topBrightness << ", bottom "
                                     << converted.bottomBrightness;

    EXPECT_EQ(preview.upright(), converted.upright());
}

INSTANTIATE_TEST_SUITE_P(Clips, Orientation, testing::ValuesIn(clips),
                         [](const testing::TestParamInfo<Clip>& info) { return std::string(info.param.name); });

TEST(StreamChoice, CoverPictureInFrontOfTheVideo) {
    kalo::test::ScratchFolder scratch;
    const fs::path source = scratch / "cover_first.mp4";
    ASSERT_TRUE(mediatest::makeCoverFirstClip(source, scratch.path()));
    const nlohmann::json probed = kalo::test::probe(source, scratch.path());
    ASSERT_FALSE(probed.is_null());
    ASSERT_EQ(probed["streams"].size(), 2u);
    ASSERT_EQ(probed["streams"][0]["disposition"]["attached_pic"], 1) << "the cover comes first";

    const mediatest::PreviewShown preview = mediatest::showInPreview(source);
    ASSERT_TRUE(preview.ok) << preview.problem;
    EXPECT_EQ(preview.videoIndex, 1);
    EXPECT_TRUE(preview.upright()) << "the preview shows the cover: " << preview.width << "x" << preview.height;

    const mediatest::ConvertedShown converted = mediatest::convertAndShow(source, scratch.path());
    ASSERT_TRUE(converted.ok) << converted.problem;
    EXPECT_EQ(converted.width, mediatest::uprightWidth);
    EXPECT_EQ(converted.height, mediatest::uprightHeight);
    EXPECT_TRUE(converted.upright());
    const nlohmann::json output = kalo::test::probe(scratch / "cover_first_converted.mp4", scratch.path());
    const nlohmann::json* video = kalo::test::streamOfType(output, "video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(std::stoi((*video).value("nb_frames", "0")), 10) << "every picture of the film, not one cover";
}

}  // namespace
