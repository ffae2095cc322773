#include "media_probe.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "child_process.h"
#include "clip_factory.h"

namespace kalo::test {
namespace fs = std::filesystem;

namespace {

nlohmann::json runProbe(std::vector<std::string> arguments, const fs::path& workFolder) {
    std::vector<std::string> command = {"ffprobe", "-v", "error", "-of", "json"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const ProcessResult result = runProcess(command, workFolder);
    if (!result.exited || result.exitCode != 0) return nullptr;
    return nlohmann::json::parse(result.out, nullptr, false);
}

}  // namespace

nlohmann::json probe(const fs::path& path, const fs::path& workFolder) {
    return runProbe({"-show_format", "-show_streams", path.u8string()}, workFolder);
}

nlohmann::json probePackets(const fs::path& path, const std::string& stream, const fs::path& workFolder) {
    return runProbe({"-select_streams", stream, "-show_entries", "packet=pts,pts_time,duration_time,size",
                     path.u8string()},
                    workFolder);
}

nlohmann::json probeFirstFrame(const fs::path& path, const fs::path& workFolder) {
    nlohmann::json frames = runProbe(
        {"-select_streams", "v", "-read_intervals", "%+#1", "-show_frames", path.u8string()}, workFolder);
    if (frames.is_null() || !frames.contains("frames") || frames["frames"].empty()) return nullptr;
    return frames["frames"][0];
}

std::vector<std::string> probeDecodedVideo(const fs::path& path, const fs::path& workFolder) {
    const ProcessResult result =
        runProcess({"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
                    "stream=width,height,nb_read_frames", "-of", "default=nw=1", path.u8string()},
                   workFolder);
    std::vector<std::string> lines;
    if (!result.succeeded()) {
        ADD_FAILURE() << "ffprobe cannot read " << path << " (" << result.describe() << "): " << result.err;
        return lines;
    }
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

ProcessResult decodeAll(const fs::path& path, const fs::path& workFolder) {
    return runProcess({"ffmpeg", "-nostdin", "-v", "error", "-i", path.u8string(), "-f", "null", "-"}, workFolder);
}

const nlohmann::json* streamOfType(const nlohmann::json& probed, const std::string& type) {
    if (probed.is_null() || !probed.contains("streams")) return nullptr;
    for (const nlohmann::json& stream : probed["streams"])
        if (stream.value("codec_type", "") == type) return &stream;
    return nullptr;
}

GreyPicture grabGrey(const fs::path& path, double seconds, const fs::path& workFolder) {
    GreyPicture picture;
    const nlohmann::json probed = probe(path, workFolder);
    const nlohmann::json* video = streamOfType(probed, "video");
    if (!video) return picture;
    picture.width = (*video)["width"];
    picture.height = (*video)["height"];
    const fs::path raw = workFolder / "grab.gray";
    if (!runFfmpeg({"-ss", std::to_string(seconds), "-i", path.u8string(), "-frames:v", "1", "-f", "rawvideo",
                    "-pix_fmt", "gray", raw.u8string()},
                   workFolder))
        return GreyPicture{};
    const std::string bytes = readFile(raw);
    if (bytes.size() != static_cast<size_t>(picture.width) * picture.height) return GreyPicture{};
    picture.pixels.assign(bytes.begin(), bytes.end());
    return picture;
}

std::vector<std::string> topLevelBoxes(const fs::path& path) {
    std::vector<std::string> boxes;
    std::ifstream in(path, std::ios::binary);
    for (;;) {
        unsigned char header[16];
        if (!in.read(reinterpret_cast<char*>(header), 8)) break;
        std::uint64_t size = (std::uint64_t{header[0]} << 24) | (header[1] << 16) | (header[2] << 8) | header[3];
        boxes.emplace_back(reinterpret_cast<char*>(header + 4), 4);
        std::uint64_t headerSize = 8;
        if (size == 1) {
            if (!in.read(reinterpret_cast<char*>(header + 8), 8)) break;
            size = 0;
            for (int i = 8; i < 16; ++i) size = (size << 8) | header[i];
            headerSize = 16;
        }
        if (size == 0) break;  // to the end of the file
        if (size < headerSize) break;
        in.seekg(static_cast<std::streamoff>(size - headerSize), std::ios::cur);
    }
    return boxes;
}

}  // namespace kalo::test
