// The command line kalo-depth accepts: what the application writes (as an argument list
// and as one Windows command string), FFmpeg's usual conveniences, and one clear line for
// anything else.
#include <gtest/gtest.h>

#include <functional>

#include "converter/cli/argument_parser.h"
#include "converter/cli/windows_command_line.h"

namespace kalo::converter {
namespace {

using Arguments = std::vector<std::string>;

struct GoodCase {
    const char* name;
    Arguments arguments;
    std::function<void(const ParsedCommandLine&)> check;
};

TEST(ArgumentParser, AcceptsWhatTheApplicationAndUsersWrite) {
    const std::vector<GoodCase> cases = {
        {"application default",
         {"-i", "/v/a.mp4", "-vf", "depth=outputmode=sbs:dl=25,scale=1920:1080", "-c:v", "libx264", "-profile:v",
          "baseline", "-b:v", "10M", "-y", "/v/a_SBS.mp4"},
         [](const ParsedCommandLine& p) {
             const ConverterOptions& o = p.options;
             EXPECT_EQ(p.action, CommandAction::Convert);
             EXPECT_EQ(o.inputPath, "/v/a.mp4");
             EXPECT_EQ(o.outputPath, "/v/a_SBS.mp4");
             EXPECT_TRUE(o.filters.hasDepth);
             EXPECT_EQ(o.filters.before, "");
             EXPECT_EQ(o.filters.after, "scale=1920:1080");
             EXPECT_EQ(o.depth.outputMode, depth::OutputMode::SideBySide);
             EXPECT_EQ(o.depth.scenePrior, depth::ScenePrior::Mixed);
             EXPECT_EQ(o.depth.strength, 25);
             EXPECT_EQ(o.profile, "baseline");
             EXPECT_EQ(o.videoBitRate, 10000000);
             EXPECT_TRUE(o.overwrite);
             EXPECT_EQ(o.audio, AudioChoice::Automatic);
             EXPECT_EQ(o.encoderThreads, 0);  // x264 picks its own thread count
         }},
        {"application with colour filter, portrait, 4K, 6M, pix_fmt",
         {"-i", "/v/a b.mp4", "-vf",
          "lut3d=/opt/kalo/filter/Clarendon.cube,depth=outputmode=sbs:mode=portrait:dl=27,scale=3840:2160", "-c:v",
          "libx264", "-profile:v", "baseline", "-b:v", "6M", "-pix_fmt", "yuv420p", "-y", "/v/中文 out.mp4"},
         [](const ParsedCommandLine& p) {
             const ConverterOptions& o = p.options;
             EXPECT_EQ(o.filters.before, "lut3d=/opt/kalo/filter/Clarendon.cube");
             EXPECT_EQ(o.filters.after, "scale=3840:2160");
             EXPECT_EQ(o.depth.scenePrior, depth::ScenePrior::Portrait);
             EXPECT_EQ(o.depth.strength, 27);
             EXPECT_EQ(o.videoBitRate, 6000000);
             EXPECT_EQ(o.pixelFormat, "yuv420p");
             EXPECT_EQ(o.outputPath, "/v/中文 out.mp4");
         }},
        {"conveniences before and after -i",
         {"-hide_banner", "-loglevel", "error", "-ss", "1.5", "-t", "00:00:02", "-threads", "2", "-i", "in.mkv",
          "-vf", "depth=outputmode=depth:mode=landscape", "-preset", "veryfast", "-threads", "auto", "-ss", "0.5",
          "-an", "-nostats", "out.mp4"},
         [](const ParsedCommandLine& p) {
             const ConverterOptions& o = p.options;
             EXPECT_TRUE(o.hideBanner);
             EXPECT_EQ(o.logLevel, kLogError);
             EXPECT_EQ(o.decoderThreads, 2);
             EXPECT_EQ(o.encoderThreads, 0);
             EXPECT_EQ(o.preset, "veryfast");
             EXPECT_EQ(o.depth.outputMode, depth::OutputMode::DepthMap);
             EXPECT_EQ(o.depth.scenePrior, depth::ScenePrior::Landscape);
             EXPECT_EQ(o.audio, AudioChoice::Drop);
             EXPECT_FALSE(o.printStatus);
             EXPECT_FALSE(o.overwrite);
             // input -ss 1.5 and output -ss 0.5 add up; input -t 2 leaves 1.5 s after the output's -ss
             const TimeWindow window = effectiveTimeWindow(o);
             EXPECT_EQ(window.startUs, 2000000);
             ASSERT_TRUE(window.durationUs.has_value());
             EXPECT_EQ(*window.durationUs, 1500000);
         }},
        {"plain transcode without depth, numeric log level, audio to AAC",
         {"-v", "24", "-i", "in.mp4", "-vf", "scale=1280:720", "-c:a", "aac", "-b:v", "2500k", "-n", "out.mp4"},
         [](const ParsedCommandLine& p) {
             EXPECT_FALSE(p.options.filters.hasDepth);
             EXPECT_EQ(p.options.filters.before, "scale=1280:720");
             EXPECT_EQ(p.options.logLevel, kLogWarning);
             EXPECT_EQ(p.options.audio, AudioChoice::Aac);
             EXPECT_EQ(p.options.videoBitRate, 2500000);
             EXPECT_TRUE(p.options.neverOverwrite);
         }},
        {"help wins wherever it stands", {"-i", "in.mp4", "-h"},
         [](const ParsedCommandLine& p) { EXPECT_EQ(p.action, CommandAction::ShowHelp); }},
        {"version without input", {"-version"},
         [](const ParsedCommandLine& p) { EXPECT_EQ(p.action, CommandAction::ShowVersion); }},
    };
    for (const GoodCase& c : cases) {
        SCOPED_TRACE(c.name);
        ParsedCommandLine parsed;
        std::string error;
        ASSERT_TRUE(parseArguments(c.arguments, parsed, error)) << error;
        c.check(parsed);
    }
}

struct BadCase {
    Arguments arguments;
    const char* expectedInError;
};

TEST(ArgumentParser, RefusesBadArgumentsWithOneLine) {
    const std::vector<BadCase> cases = {
        {{"-i", "in.mp4", "-foo", "out.mp4"}, "Unrecognized option '-foo'"},
        {{"-i", "in.mp4", "-b:v", "fast", "out.mp4"}, "'-b:v'"},
        {{"-i", "in.mp4", "-b:v", "10", "out.mp4"}, "'-b:v'"},  // 10 bit/s: a forgotten suffix
        {{"-i", "in.mp4", "-b:v"}, "Missing argument for option '-b:v'"},
        {{"-i", "in.mp4", "-vf", "depth=outputmode=xyz,scale=1920:1080", "out.mp4"}, "outputmode"},
        {{"-i", "in.mp4", "-vf", "depth=outputmode=sbs:strength=3", "out.mp4"}, "strength"},
        {{"-i", "in.mp4", "-vf", "depth=dl=500", "out.mp4"}, "dl"},
        {{"-i", "in.mp4", "-vf", "depth,scale=2:2,depth", "out.mp4"}, "Only one depth filter"},
        {{"-i", "in.mp4", "-vf", "", "out.mp4"}, "empty"},
        {{"-i", "in.mp4", "-profile:v", "extreme", "out.mp4"}, "'-profile:v'"},
        {{"-i", "in.mp4", "-c:v", "libx265", "out.mp4"}, "libx264"},
        {{"-i", "in.mp4", "-pix_fmt", "yuv444p", "out.mp4"}, "yuv420p"},
        {{"-i", "in.mp4", "-preset", "warp", "out.mp4"}, "'-preset'"},
        {{"-i", "in.mp4", "-c:a", "mp3", "out.mp4"}, "'-c:a'"},
        {{"-i", "in.mp4", "-threads", "many", "out.mp4"}, "'-threads'"},
        {{"-i", "in.mp4", "-t", "-3", "out.mp4"}, "'-t'"},
        {{"-i", "in.mp4", "-ss", "soon", "out.mp4"}, "'-ss'"},
        {{"-i", "in.mp4", "-loglevel", "loud", "out.mp4"}, "'-loglevel'"},
        {{"-vf", "scale=2:2", "-i", "in.mp4", "out.mp4"}, "after -i"},
        {{"-y", "out.mp4"}, "before -i"},
        {{"-i", "in.mp4"}, "No output file"},
        {{"-hide_banner"}, "No input file"},
        {{"-i", "in.mp4", "out.mp4", "-y"}, "after the output file"},
        {{"-i", "in.mp4", "out.mp4", "out2.mp4"}, "Only one output file"},
        {{"-i", "a.mp4", "-i", "b.mp4", "out.mp4"}, "Only one input file"},
        {{"-i", "in.mp4", "-y", "-n", "out.mp4"}, "contradict"},
        {{"-i", "", "out.mp4"}, "empty"},
    };
    for (const BadCase& c : cases) {
        std::string joined;
        for (const std::string& a : c.arguments) joined += "[" + a + "] ";
        SCOPED_TRACE(joined);
        ParsedCommandLine parsed;
        std::string error;
        EXPECT_FALSE(parseArguments(c.arguments, parsed, error));
        EXPECT_NE(error.find(c.expectedInError), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    }
}

struct WindowsCase {
    const char* line;
    Arguments expected;  // the program-name token first
};

TEST(WindowsCommandLine, SplitsAsTheCRuntimeDoes) {
    const std::vector<WindowsCase> cases = {
        // The application's line has no program name: it starts with a blank.
        {R"( -i "C:\v\a.mp4" -vf depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M -y "C:\v\a_SBS.mp4")",
         {"", "-i", R"(C:\v\a.mp4)", "-vf", "depth=outputmode=sbs:dl=25,scale=1920:1080", "-c:v", "libx264",
          "-profile:v", "baseline", "-b:v", "10M", "-y", R"(C:\v\a_SBS.mp4)"}},
        // Quoted colour-filter segment with the escaped drive colon; two blanks before -y.
        {R"( -i "C:\视频\a b.mp4" -vf "lut3d=C\\:/Program Files/Tool/filter/Clarendon.cube",depth=outputmode=sbs:mode=portrait:dl=27,scale=3840:2160 -c:v libx264 -profile:v baseline -b:v 6M  -pix_fmt yuv420p  -y "C:\v\a b_SBS.mp4")",
         {"", "-i", R"(C:\视频\a b.mp4)", "-vf",
          R"(lut3d=C\\:/Program Files/Tool/filter/Clarendon.cube,depth=outputmode=sbs:mode=portrait:dl=27,scale=3840:2160)",
          "-c:v", "libx264", "-profile:v", "baseline", "-b:v", "6M", "-pix_fmt", "yuv420p", "-y",
          R"(C:\v\a b_SBS.mp4)"}},
        {R"("C:\Program Files\kalo\kalo-depth.exe" -i x.mp4 y.mp4)",
         {R"(C:\Program Files\kalo\kalo-depth.exe)", "-i", "x.mp4", "y.mp4"}},
        {R"(kalo-depth.exe	a\\b "c\\" d\"e "f""g" "" h)", {"kalo-depth.exe", R"(a\\b)", R"(c\)", R"(d"e)", R"(f"g)", "", "h"}},
        {"   ", {""}},
    };
    for (const WindowsCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(splitWindowsCommandLine(c.line), c.expected);
    }
}

TEST(WindowsCommandLine, ApplicationLineParsesToTheSameJob) {
    Arguments tokens = splitWindowsCommandLine(
        R"( -i "C:\v\a.mp4" -vf "lut3d=C\\:/K/filter/Clarendon.cube",depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M  -pix_fmt yuv420p  -y "C:\v\a_SBS.mp4")");
    tokens.erase(tokens.begin());
    ParsedCommandLine parsed;
    std::string error;
    ASSERT_TRUE(parseArguments(tokens, parsed, error)) << error;
    EXPECT_EQ(parsed.options.inputPath, R"(C:\v\a.mp4)");
    EXPECT_EQ(parsed.options.outputPath, R"(C:\v\a_SBS.mp4)");
    // Graph text as libavfilter must read it: two backslashes, one per parsing level.
    EXPECT_EQ(parsed.options.filters.before, R"(lut3d=C\\:/K/filter/Clarendon.cube)");
    EXPECT_EQ(parsed.options.filters.after, "scale=1920:1080");
    EXPECT_EQ(parsed.options.depth.strength, 25);
}

}  // namespace
}  // namespace kalo::converter
