#include "clip_factory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <system_error>

#include "child_process.h"

namespace kalo::test {
namespace {

namespace fs = std::filesystem;

using Arguments = std::vector<std::string>;

Arguments operator+(Arguments first, const Arguments& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const Arguments encoder = {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};

Arguments lavfi(const std::string& graph) { return {"-f", "lavfi", "-i", graph}; }

std::string commandText(const Arguments& command) {
    std::string text;
    for (const std::string& argument : command) {
        if (!text.empty()) text += ' ';
        const bool plain = !argument.empty() &&
                           argument.find_first_of(" \t'\"\\$`;&|<>()[]*?") == std::string::npos;
        text += plain ? argument : "'" + argument + "'";
    }
    return text;
}

// Copies the first `fraction` of `source` to `target`.
bool cutFile(const fs::path& source, const fs::path& target, double fraction) {
    const std::string bytes = readFile(source);
    if (bytes.empty()) return false;
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() * fraction));
    return static_cast<bool>(out);
}

bool scrambleFile(const fs::path& source, const fs::path& target) {
    std::string bytes = readFile(source);
    if (bytes.size() < 1000) return false;
    std::mt19937 random(7);
    for (std::size_t i = bytes.size() * 4 / 10; i < bytes.size() * 6 / 10; i += 97) {
        bytes[i] = static_cast<char>(random());
    }
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool randomFile(const fs::path& target) {
    std::mt19937 random(11);
    std::ofstream out(target, std::ios::binary);
    for (int i = 0; i < 50000; ++i) out.put(static_cast<char>(random()));
    return static_cast<bool>(out);
}

bool ffmpegInClipFolder(const Arguments& arguments) { return runFfmpeg(arguments, clipFolder()); }

// Each recipe writes the clip to the path it is given (a temporary name).
using Recipe = std::function<bool(const fs::path&)>;

// An upright 180x320 picture, red above blue, stored turned by `transpose` and given a
// display matrix that turns it back (written on a stream copy; the command-line tool's
// "rotate" is counter-clockwise).
bool phoneClip(const fs::path& out, const std::string& transpose, const std::string& rotate) {
    const fs::path plain = fs::path(out).concat(".plain.mp4");
    return ffmpegInClipFolder(lavfi("color=red:s=180x160:r=25") + lavfi("color=blue:s=180x160:r=25") +
                              Arguments{"-filter_complex", "[0][1]vstack,transpose=" + transpose,
                                        "-frames:v", "25"} +
                              encoder + Arguments{plain.string()}) &&
           ffmpegInClipFolder({"-i", plain.string(), "-c", "copy", "-metadata:s:v", "rotate=" + rotate,
                               "-f", "mp4", out.string()}) &&
           fs::remove(plain);
}

// A fast-start copy of count250.mp4, then changed by `change`.
bool fromFastStartCopy(const fs::path& out, const std::function<bool(const fs::path&, const fs::path&)>& change) {
    const fs::path whole = fs::path(out).concat(".whole.mp4");
    return ffmpegInClipFolder({"-i", clip("count250.mp4").string(), "-c", "copy", "-movflags", "+faststart",
                               whole.string()}) &&
           change(whole, out) && fs::remove(whole);
}

const std::map<std::string, Recipe>& recipes() {
    static const std::map<std::string, Recipe> table = {
        {"count250.mp4",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("testsrc=size=160x120:rate=25") + Arguments{"-frames:v", "250"} +
                                       encoder + Arguments{"-g", "30", out.string()});
         }},
        {"numbered1000.mp4",
         [](const fs::path& out) {
             return ffmpegInClipFolder(
                 lavfi("nullsrc=s=64x64:r=25,format=yuv420p,"
                       "geq=lum='mod(N,256)':cb='16+16*floor(N/256)':cr=128") +
                 Arguments{"-frames:v", "1000", "-c:v", "libx264", "-qp", "0", "-g", "30", "-keyint_min", "30",
                           "-sc_threshold", "0", "-pix_fmt", "yuv420p", out.string()});
         }},
        {"hd1080.mp4",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("testsrc2=size=1920x1080:rate=25") + Arguments{"-frames:v", "60"} +
                                       encoder + Arguments{"-g", "30", out.string()});
         }},
        {"count250.mkv",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("testsrc=size=160x120:rate=25") + Arguments{"-frames:v", "250"} +
                                       encoder + Arguments{"-g", "30", out.string()});
         }},
        {"count250.ts",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("testsrc=size=160x120:rate=25") + Arguments{"-frames:v", "250"} +
                                       encoder + Arguments{"-g", "30", "-f", "mpegts", out.string()});
         }},
        {"odd.avi",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("testsrc=size=160x120:rate=30000/1001") +
                                       Arguments{"-frames:v", "100", "-c:v", "mpeg4", "-f", "avi", out.string()});
         }},
        {"micro.mp4",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("testsrc=size=160x120:rate=1000000/66667") +
                                       Arguments{"-frames:v", "100"} + encoder +
                                       Arguments{"-video_track_timescale", "1000000", out.string()});
         }},
        // -90 counter-clockwise is a quarter turn clockwise.
        {"phone90.mp4", [](const fs::path& out) { return phoneClip(out, "2", "-90"); }},
        {"phone270.mp4", [](const fs::path& out) { return phoneClip(out, "1", "90"); }},
        // The command-line tool keeps a tag spelled other than "rotate" as a plain tag;
        // the demuxer's tags are matched without regard to case.
        {"tag90.mkv",
         [](const fs::path& out) {
             return ffmpegInClipFolder({"-i", clip("count250.mkv").string(), "-c", "copy", "-metadata:s:v",
                                        "ROTATE=90", "-f", "matroska", out.string()});
         }},
        {"tag270abc.mkv",
         [](const fs::path& out) {
             return ffmpegInClipFolder({"-i", clip("count250.mkv").string(), "-c", "copy", "-metadata:s:v",
                                        "ROTATE=270abc", "-f", "matroska", out.string()});
         }},
        {"white.mp4",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("color=white:s=160x120:r=25") + Arguments{"-frames:v", "25"} +
                                       encoder + Arguments{out.string()});
         }},
        {"white444.mp4",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("color=white:s=160x120:r=25") +
                                       Arguments{"-frames:v", "25", "-c:v", "libx264", "-preset", "ultrafast",
                                                 "-pix_fmt", "yuv444p", out.string()});
         }},
        {"audiofirst.mkv",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("sine=frequency=440:duration=10") +
                                       lavfi("testsrc=size=160x120:rate=25:duration=10") +
                                       Arguments{"-map", "0:a", "-map", "1:v", "-frames:v", "250", "-c:a",
                                                 "libvorbis"} +
                                       encoder + Arguments{"-g", "30", "-f", "matroska", out.string()});
         }},
        {"audioonly.m4a",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("sine=frequency=440:duration=1") +
                                       Arguments{"-c:a", "aac", "-f", "mp4", out.string()});
         }},
        {"unknowncodec.avi",
         [](const fs::path& out) {
             return ffmpegInClipFolder({"-i", clip("odd.avi").string(), "-c", "copy", "-strict", "-2", "-vtag",
                                        "ZZZZ", "-f", "avi", out.string()});
         }},
        {"garbage.mp4", [](const fs::path& out) { return randomFile(out); }},
        {"nomoov.mp4", [](const fs::path& out) { return cutFile(clip("count250.mp4"), out, 0.5); }},
        {"cut.mp4",
         [](const fs::path& out) {
             return fromFastStartCopy(
                 out, [](const fs::path& whole, const fs::path& target) { return cutFile(whole, target, 0.6); });
         }},
        {"cut.mkv", [](const fs::path& out) { return cutFile(clip("count250.mkv"), out, 0.6); }},
        {"scrambled.mp4", [](const fs::path& out) { return fromFastStartCopy(out, scrambleFile); }},
        {"slow.mp4",
         [](const fs::path& out) {
             return ffmpegInClipFolder(lavfi("testsrc=size=160x120:rate=1") + Arguments{"-frames:v", "10"} +
                                       encoder + Arguments{out.string()});
         }},
    };
    return table;
}

}  // namespace

bool runFfmpeg(const std::vector<std::string>& arguments, const fs::path& workFolder) {
    const Arguments command =
        Arguments{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"} + arguments;
    std::error_code ignored;
    fs::create_directories(workFolder, ignored);
    const ProcessResult result = runProcess(command, workFolder);
    if (result.succeeded()) return true;
    ADD_FAILURE() << "ffmpeg failed (" << result.describe() << "): " << commandText(command) << "\n"
                  << result.err;
    return false;
}

bool makeClip(const fs::path& path, const std::string& size, double seconds, const fs::path& workFolder,
              bool tone) {
    const std::string duration = std::to_string(seconds);
    Arguments arguments = lavfi("testsrc2=size=" + size + ":rate=25:duration=" + duration);
    if (tone) arguments = arguments + lavfi("sine=frequency=440:sample_rate=48000:duration=" + duration);
    arguments = arguments + Arguments{"-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p"};
    if (tone) arguments = arguments + Arguments{"-c:a", "aac"};
    return runFfmpeg(arguments + Arguments{"-movflags", "+faststart", path.u8string()}, workFolder);
}

fs::path clipFolder() { return fs::path(KALO_TEST_BIN_DIR) / "player_clips"; }

fs::path clip(const std::string& name) {
    const fs::path target = clipFolder() / name;
    if (fs::exists(target)) return target;
    fs::create_directories(clipFolder());
    const auto recipe = recipes().find(name);
    if (recipe == recipes().end()) {
        ADD_FAILURE() << "no recipe for clip " << name;
        return target;
    }
    // A name of our own, keeping the extension that tells ffmpeg the container.
    const fs::path temporary = clipFolder() / ("tmp" + std::to_string(::getpid()) + "_" + name);
    if (recipe->second(temporary)) {
        std::error_code error;
        fs::rename(temporary, target, error);
        if (error) ADD_FAILURE() << "cannot rename " << temporary << ": " << error.message();
    } else {
        ADD_FAILURE() << "cannot make clip " << name;
    }
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return target;
}

int frameNumberOf(int luma, int blueDifference) {
    return luma + 256 * ((blueDifference - 16 + 8) / 16);
}

}  // namespace kalo::test
