#include "clip_factory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <system_error>
#include <unistd.h>

namespace cliptest {
namespace {

namespace fs = std::filesystem;

const char* const encoder = "-c:v libx264 -preset ultrafast -pix_fmt yuv420p";

bool run(const std::string& command) {
    const std::string line = "ffmpeg -nostdin -hide_banner -loglevel error -y " + command;
    if (std::system(line.c_str()) == 0) return true;
    ADD_FAILURE() << "ffmpeg failed: " << line;
    return false;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Copies the first `fraction` of `source` to `target`.
bool cutFile(const fs::path& source, const fs::path& target, double fraction) {
    std::ifstream in(source, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return false;
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() * fraction));
    return static_cast<bool>(out);
}

bool scrambleFile(const fs::path& source, const fs::path& target) {
    std::ifstream in(source, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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

// Each recipe writes the clip to the path it is given (a temporary name).
using Recipe = std::function<bool(const fs::path&)>;

std::string lavfi(const std::string& graph) { return "-f lavfi -i \"" + graph + "\" "; }

const std::map<std::string, Recipe>& recipes() {
    static const std::map<std::string, Recipe> table = {
        {"count250.mp4",
         [](const fs::path& out) {
             return run(lavfi("testsrc=size=160x120:rate=25") + "-frames:v 250 " + encoder +
                        " -g 30 " + quoted(out));
         }},
        {"numbered1000.mp4",
         [](const fs::path& out) {
             return run(lavfi("nullsrc=s=64x64:r=25,format=yuv420p,"
                              "geq=lum='mod(N,256)':cb='16+16*floor(N/256)':cr=128") +
                        "-frames:v 1000 -c:v libx264 -qp 0 -g 30 -keyint_min 30 "
                        "-sc_threshold 0 -pix_fmt yuv420p " + quoted(out));
         }},
        {"hd1080.mp4",
         [](const fs::path& out) {
             return run(lavfi("testsrc2=size=1920x1080:rate=25") + "-frames:v 60 " + encoder +
                        " -g 30 " + quoted(out));
         }},
        {"count250.mkv",
         [](const fs::path& out) {
             return run(lavfi("testsrc=size=160x120:rate=25") + "-frames:v 250 " + encoder +
                        " -g 30 " + quoted(out));
         }},
        {"count250.ts",
         [](const fs::path& out) {
             return run(lavfi("testsrc=size=160x120:rate=25") + "-frames:v 250 " + encoder +
                        " -g 30 -f mpegts " + quoted(out));
         }},
        {"odd.avi",
         [](const fs::path& out) {
             return run(lavfi("testsrc=size=160x120:rate=30000/1001") +
                        "-frames:v 100 -c:v mpeg4 -f avi " + quoted(out));
         }},
        {"micro.mp4",
         [](const fs::path& out) {
             return run(lavfi("testsrc=size=160x120:rate=1000000/66667") + "-frames:v 100 " +
                        encoder + " -video_track_timescale 1000000 " + quoted(out));
         }},
        {"phone90.mp4",
         [](const fs::path& out) {
             const fs::path plain = fs::path(out).concat(".plain.mp4");
             // The display matrix is written on a stream copy; -90 counter-clockwise is a
             // quarter turn clockwise.
             return run(lavfi("color=red:s=180x160:r=25") + lavfi("color=blue:s=180x160:r=25") +
                        "-filter_complex \"[0][1]vstack,transpose=2\" -frames:v 25 " + encoder +
                        " " + quoted(plain)) &&
                    run("-i " + quoted(plain) + " -c copy -metadata:s:v rotate=-90 -f mp4 " +
                        quoted(out)) &&
                    fs::remove(plain);
         }},
        {"phone270.mp4",
         [](const fs::path& out) {
             const fs::path plain = fs::path(out).concat(".plain.mp4");
             return run(lavfi("color=red:s=180x160:r=25") + lavfi("color=blue:s=180x160:r=25") +
                        "-filter_complex \"[0][1]vstack,transpose=1\" -frames:v 25 " + encoder +
                        " " + quoted(plain)) &&
                    run("-i " + quoted(plain) + " -c copy -metadata:s:v rotate=90 -f mp4 " +
                        quoted(out)) &&
                    fs::remove(plain);
         }},
        // The command-line tool keeps a tag spelled other than "rotate" as a plain tag;
        // the demuxer's tags are matched without regard to case.
        {"tag90.mkv",
         [](const fs::path& out) {
             return run("-i " + quoted(clip("count250.mkv")) +
                        " -c copy -metadata:s:v ROTATE=90 -f matroska " + quoted(out));
         }},
        {"tag270abc.mkv",
         [](const fs::path& out) {
             return run("-i " + quoted(clip("count250.mkv")) +
                        " -c copy -metadata:s:v ROTATE=270abc -f matroska " + quoted(out));
         }},
        {"white.mp4",
         [](const fs::path& out) {
             return run(lavfi("color=white:s=160x120:r=25") + "-frames:v 25 " + encoder + " " +
                        quoted(out));
         }},
        {"white444.mp4",
         [](const fs::path& out) {
             return run(lavfi("color=white:s=160x120:r=25") +
                        "-frames:v 25 -c:v libx264 -preset ultrafast -pix_fmt yuv444p " +
                        quoted(out));
         }},
        {"audiofirst.mkv",
         [](const fs::path& out) {
             return run(lavfi("sine=frequency=440:duration=10") +
                        lavfi("testsrc=size=160x120:rate=25:duration=10") +
                        "-map 0:a -map 1:v -frames:v 250 -c:a libvorbis " + encoder + " -g 30 " +
                        "-f matroska " + quoted(out));
         }},
        {"audioonly.m4a",
         [](const fs::path& out) {
             return run(lavfi("sine=frequency=440:duration=1") + "-c:a aac -f mp4 " + quoted(out));
         }},
        {"unknowncodec.avi",
         [](const fs::path& out) {
             return run("-i " + quoted(clip("odd.avi")) + " -c copy -strict -2 -vtag ZZZZ -f avi " +
                        quoted(out));
         }},
        {"garbage.mp4", [](const fs::path& out) { return randomFile(out); }},
        {"nomoov.mp4",
         [](const fs::path& out) { return cutFile(clip("count250.mp4"), out, 0.5); }},
        {"cut.mp4",
         [](const fs::path& out) {
             const fs::path whole = fs::path(out).concat(".whole.mp4");
             return run("-i " + quoted(clip("count250.mp4")) +
                        " -c copy -movflags +faststart " + quoted(whole)) &&
                    cutFile(whole, out, 0.6) && fs::remove(whole);
         }},
        {"cut.mkv", [](const fs::path& out) { return cutFile(clip("count250.mkv"), out, 0.6); }},
        {"scrambled.mp4",
         [](const fs::path& out) {
             const fs::path whole = fs::path(out).concat(".whole.mp4");
             return run("-i " + quoted(clip("count250.mp4")) +
                        " -c copy -movflags +faststart " + quoted(whole)) &&
                    scrambleFile(whole, out) && fs::remove(whole);
         }},
        {"slow.mp4",
         [](const fs::path& out) {
             return run(lavfi("testsrc=size=160x120:rate=1") + "-frames:v 10 " + encoder + " " +
                        quoted(out));
         }},
    };
    return table;
}

}  // namespace

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
    const fs::path temporary =
        clipFolder() / ("tmp" + std::to_string(::getpid()) + "_" + name);
    if (recipe->second(temporary)) {
        std::error_code error;
        fs::rename(temporary, target, error);
        if (error) ADD_FAILURE() << "cannot rename " << temporary << ": " << error.message();
    }
    fs::remove(temporary);
    return target;
}

int frameNumberOf(int luma, int blueDifference) {
    return luma + 256 * ((blueDifference - 16 + 8) / 16);
}

}  // namespace cliptest
