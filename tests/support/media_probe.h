#pragma once
// Reading back what a program wrote, as a player would: ffprobe's view of a file as JSON,
// a picture decoded by ffmpeg as grey values, and the top-level boxes of an MP4 file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "child_process.h"

namespace kalo::test {

// ffprobe -show_format -show_streams as JSON (null on failure).
nlohmann::json probe(const std::filesystem::path& path, const std::filesystem::path& workFolder);

// ffprobe of the packets of one stream ("v" or "a") as JSON.
nlohmann::json probePackets(const std::filesystem::path& path, const std::string& stream,
                            const std::filesystem::path& workFolder);

// The first decoded video frame as ffprobe describes it (side data included).
nlohmann::json probeFirstFrame(const std::filesystem::path& path, const std::filesystem::path& workFolder);

// The first video stream's size and the frames that decode, as ffprobe prints them:
// "width=W", "height=H", "nb_read_frames=N". Empty when ffprobe fails (the test fails too).
std::vector<std::string> probeDecodedVideo(const std::filesystem::path& path,
                                           const std::filesystem::path& workFolder);

// Decodes the whole file with ffmpeg to nothing: a file that plays ends with exit code 0
// and an empty standard error.
ProcessResult decodeAll(const std::filesystem::path& path, const std::filesystem::path& workFolder);

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

}  // namespace kalo::test
