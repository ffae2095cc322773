// A colour look-up filter before `depth`, its .cube file in a folder whose name needs
// care: spaces and Chinese characters as the application writes them, and the
// graph-level quoting and two-level escaping that FFmpeg's filter syntax offers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "media_fixtures.h"

namespace kalo::test {
namespace {

namespace fs = std::filesystem;

// A 2x2x2 table that inverts every colour.
void writeInvertingCube(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path);
    out << "TITLE \"invert\"\nLUT_3D_SIZE 2\n";
    for (int b = 0; b < 2; ++b)
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < 2; ++r) out << 1 - r << ' ' << 1 - g << ' ' << 1 - b << '\n';
}

struct LutCase {
    const char* name;
    std::string folder;  // below the scratch folder
    std::string (*filterText)(const std::string& cubePath);
};

TEST(LutFilter, PathsWithSpacesChineseAndEscapesWork) {
    ScratchFolder work;
    const auto source = work / "solid.mp4";
    ASSERT_TRUE(runFfmpeg({"-f", "lavfi", "-i", "color=c=0x3060a0:size=320x180:rate=25:duration=1", "-c:v", "libx264",
                        "-pix_fmt", "yuv420p", source.u8string()},
                       work.path()));
    const GreyPicture original = grabGrey(source, 0.5, work.path());
    ASSERT_EQ(original.width, 320);
    const int originalGrey = original.at(160, 90);

    const std::vector<LutCase> cases = {
        {"as the application writes it", "中 文 滤镜", [](const std::string& cube) { return "lut3d=" + cube; }},
        {"quoted at the graph level", "带 空格", [](const std::string& cube) { return "lut3d='" + cube + "'"; }},
        {"named option, escaped for both levels", "a:b,c 表",
         [](const std::string& cube) {
             std::string escaped;  // option level: "\:" ; graph level: "\\" for it and "\," for the comma
             for (char c : cube) {
                 if (c == ':') escaped += "\\\\:";
                 else if (c == ',') escaped += "\\,";
                 else escaped += c;
             }
             return "lut3d=file=" + escaped;
         }},
    };
    for (const LutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path cube = work / (c.folder + "/in vert.cube");
        writeInvertingCube(cube);
        const fs::path output = work / (c.folder + " out.mp4");
        const ProcessResult run =
            runProcess(applicationCommand(source, output, c.filterText(cube.u8string()), "320:180"), work.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const GreyPicture converted = grabGrey(output, 0.5, work.path());
        ASSERT_EQ(converted.width, 320);
        // Both halves show the inverted colour.
        EXPECT_NEAR(converted.at(80, 90), 255 - originalGrey, 10) << "original grey " << originalGrey;
        EXPECT_NEAR(converted.at(240, 90), 255 - originalGrey, 10);
    }
}

}  // namespace
}  // namespace kalo::test
