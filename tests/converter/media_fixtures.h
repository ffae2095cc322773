#pragma once
// What the converter's end-to-end tests share: a scratch folder, clips made with the
// ffmpeg command-line tool from lavfi sources, the application's command line, and
// ffprobe/ffmpeg read-backs of what kalo-depth wrote.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "child_process.h"

namespace kalo::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / std::filesystem::u8path(name); }

private:
    std::filesystem::path path_;
};

std::string kaloDepth();

// Runs `ffmpeg -v error -y <arguments>`; returns true when it succeeded.
bool ffmpeg(const std::vector<std::string>& arguments, const std::filesystem::path& workFolder);

// A testsrc2 clip (moving pattern and text) with a sine tone, H.264 + AAC in MP4 with the
// index at the front.
bool makeClip(const std::filesystem::path& path, const std::string& size, double seconds,
              const std::filesystem::path& workFolder);

// The command line the application writes (POSIX argument list), with optional extra
// filters before depth and a chosen output size.
std::vector<std::string> applicationCommand(const std::filesystem::path& input, const std::filesystem::path& output,
                                            const std::string& filtersBeforeDepth = "",
                                            const std::string& scale = "1920:1080");

// ffprobe -show_format -show_streams as JSON (null on failure).
nlohmann::json probe(const std::filesystem::path& path, const std::filesystem::path& workFolder);

// ffprobe of the packets of one stream ("v" or "a") as JSON.
nlohmann::json probePackets(const std::filesystem::path& path, const std::string& stream,
                            const std::filesystem::path& workFolder);

// The first decoded video frame as ffprobe describes it (side data included).
nlohmann::json probeFirstFrame(const std::filesystem::path& path, const std::filesystem::path& workFolder);

const nlohmann::json* streamOfType(const nlohmann::json& probed, const std::string& type);

struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    int at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The picture at `seconds`, as 8-bit grey.
GreyPicture grabGrey(const std::filesystem::path& path, double seconds, const std::filesystem::path& workFolder);

// Types of the file's top-level boxes, in order ("ftyp", "moov", "mdat", ...).
std::vector<std::string> topLevelBoxes(const std::filesystem::path& path);

// Files a conversion may leave behind by mistake (temporary outputs) in `folder`.
int temporaryFilesIn(const std::filesystem::path& folder);

}  // namespace kalo::test
