#include "media_fixtures.h"

#include <unistd.h>

#include <fstream>
#include <random>

namespace kalo::test {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("kalo-converter-test-" + std::to_string(getpid()) + "-" +
                                         std::to_string(random() % 1000000));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string kaloDepth() { return std::string(KALO_BIN_DIR) + "/kalo-depth"; }

bool ffmpeg(const std::vector<std::string>& arguments, const fs::path& workFolder) {
    std::vector<std::string> command = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const ProcessResult result = runProcess(command, workFolder);
    return result.exited && result.exitCode == 0;
}

bool makeClip(const fs::path& path, const std::string& size, double seconds, const fs::path& workFolder) {
    const std::string duration = std::to_string(seconds);
    return ffmpeg({"-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=25:duration=" + duration, "-f", "lavfi",
                   "-i", "sine=frequency=440:sample_rate=48000:duration=" + duration, "-c:v", "libx264", "-preset",
                   "veryfast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-movflags", "+faststart", path.u8string()},
                  workFolder);
}

std::vector<std::string> applicationCommand(const fs::path& input, const fs::path& output,
                                            const std::string& filtersBeforeDepth, const std::string& scale) {
    std::string chain = "depth=outputmode=sbs:dl=25,scale=" + scale;
    if (!filtersBeforeDepth.empty()) chain = filtersBeforeDepth + "," + chain;
    std::vector<std::string> command = {kaloDepth(), "-i", input.u8string(), "-vf", chain, "-c:v", "libx264",
                                        "-profile:v", "baseline", "-b:v", "10M"};
    if (!filtersBeforeDepth.empty()) {
        command.push_back("-pix_fmt");
        command.push_back("yuv420p");
    }
    command.push_back("-y");
    command.push_back(output.u8string());
    return command;
}

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
    if (!ffmpeg({"-ss", std::to_string(seconds), "-i", path.u8string(), "-frames:v", "1", "-f", "rawvideo",
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

int temporaryFilesIn(const fs::path& folder) {
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.path().u8string().find(".kalo-part") != std::string::npos) ++count;
    return count;
}

}  // namespace kalo::test
