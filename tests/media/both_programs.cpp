#include "both_programs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

#include "../converter/media_fixtures.h"
#include "../player/engine_support.h"
#include "player/ffmpeg_helper.h"
#include "player/render_queue.h"

namespace mediatest {
namespace {

namespace fs = std::filesystem;

// The filter that stores the upright picture so that a turn of `clockwise` degrees
// clockwise brings it back.
std::string turnedBack(int clockwise) {
    switch (clockwise) {
    case 90: return "transpose=cclock";
    case 180: return "hflip,vflip";
    case 270: return "transpose=clock";
    default: return "null";
    }
}

std::vector<std::string> uprightSource() {
    const std::string half = ":s=" + std::to_string(uprightWidth) + "x" +
                             std::to_string(uprightHeight / 2) + ":r=10";
    return {"-f", "lavfi", "-i", "color=white" + half, "-f", "lavfi", "-i", "color=black" + half};
}

bool run(const std::vector<std::string>& arguments, const fs::path& workFolder) {
    if (kalo::test::runFfmpeg(arguments, workFolder)) return true;
    std::string line = "ffmpeg";
    for (const std::string& argument : arguments) line += " " + argument;
    ADD_FAILURE() << "ffmpeg failed: " << line;
    return false;
}

std::uint32_t bigEndian32(const std::string& bytes, std::size_t at) {
    return (std::uint32_t(std::uint8_t(bytes[at])) << 24) | (std::uint32_t(std::uint8_t(bytes[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(bytes[at + 2])) << 8) | std::uint32_t(std::uint8_t(bytes[at + 3]));
}

// Moves the "udta" box (where MP4 keeps the cover) in front of the first "trak" box of
// "moov", so the demuxer meets the cover before the video. The media data stays where it
// is, so its offsets stay right.
bool moveUserDataBeforeTracks(const fs::path& path) {
    std::string bytes = kalo::test::readFile(path);
    std::size_t at = 0;
    while (at + 8 <= bytes.size() && bytes.compare(at + 4, 4, "moov") != 0) at += bigEndian32(bytes, at);
    if (at + 8 > bytes.size()) return false;
    const std::size_t moovEnd = at + bigEndian32(bytes, at);
    std::string header, tracks, userData, rest;
    for (std::size_t child = at + 8; child + 8 <= moovEnd;) {
        const std::size_t size = bigEndian32(bytes, child);
        if (size < 8 || child + size > moovEnd) return false;
        const std::string box = bytes.substr(child, size);
        const std::string type = bytes.substr(child + 4, 4);
        if (type == "mvhd") header += box;
        else if (type == "udta") userData += box;
        else if (type == "trak") tracks += box;
        else rest += box;
        child += size;
    }
    if (userData.empty()) return false;
    bytes.replace(at + 8, moovEnd - at - 8, header + userData + tracks + rest);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int brightness(kalo::test::Rgba color) { return (color.r + color.g + color.b) / 3; }

}  // namespace

bool Shown::upright() const {
    return ok && width > height && topBrightness > 200 && bottomBrightness < 60;
}

bool makeTurnedClip(const fs::path& path, Container container, RotationMark mark, int clockwise,
                    const fs::path& workFolder) {
    const fs::path plain = workFolder / (path.filename().u8string() + ".plain.mkv");
    std::vector<std::string> stored = uprightSource();
    for (const char* argument : {"-filter_complex"}) stored.push_back(argument);
    stored.push_back("[0][1]vstack," + turnedBack(clockwise));
    for (const char* argument :
         {"-frames:v", "10", "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"})
        stored.push_back(argument);
    stored.push_back(plain.u8string());
    if (!run(stored, workFolder)) return false;

    std::vector<std::string> marked = {"-i", plain.u8string(), "-c", "copy"};
    if (mark == RotationMark::DisplayMatrix) {
        // Our ffmpeg turns a "rotate" option on an MP4 output into the display matrix, with
        // the angle counting the other way round.
        marked.insert(marked.end(), {"-metadata:s:v", "rotate=" + std::to_string((360 - clockwise) % 360)});
    } else if (mark == RotationMark::RotateTag) {
        // Spelled in capitals, the tool keeps it as a plain stream tag.
        marked.insert(marked.end(), {"-metadata:s:v", "ROTATE=" + std::to_string(clockwise)});
    }
    marked.insert(marked.end(), {"-f", container == Container::Mp4 ? "mp4" : "matroska", path.u8string()});
    const bool made = run(marked, workFolder);
    fs::remove(plain);
    return made;
}

bool makeCoverFirstClip(const fs::path& path, const fs::path& workFolder) {
    const fs::path cover = workFolder / "cover.png";
    const fs::path video = workFolder / "cover-video.mp4";
    return makeTurnedClip(video, Container::Mp4, RotationMark::None, 0, workFolder) &&
           run({"-f", "lavfi", "-i", "color=red:s=64x64", "-frames:v", "1", cover.u8string()}, workFolder) &&
           run({"-i", cover.u8string(), "-i", video.u8string(), "-map", "0", "-map", "1", "-c", "copy",
                "-disposition:0", "attached_pic", "-f", "mp4", path.u8string()},
               workFolder) &&
           moveUserDataBeforeTracks(path);
}

PreviewShown showInPreview(const fs::path& path) {
    PreviewShown shown;
    kalo::test::SoftwareCanvas canvas(200, 200);
    FFmpegHelper engine;
    engine.pacing = false;
    const int opened = engine.open(path.u8string(), canvas.renderer);
    if (opened != 0) {
        shown.problem = "the preview could not open it: " + std::to_string(opened);
        return shown;
    }
    engine.paused = true;
    engine.displayScale = 1.0f;
    engine.layoutVideo(200, 200);
    if (!engine.waitForPicture(10000)) {
        shown.problem = "the preview showed no picture";
        return shown;
    }
    // Drawn the way the preview window draws it: through its render queue.
    RenderQueue queue(nullptr, canvas.renderer);
    queue.add(engine.renderEntry);
    canvas.clear();
    queue.renderAll();

    // The texture is drawn into destRect turned about its centre.
    const SDL_Rect r = engine.destRect;
    const bool quarterTurn = engine.rotation == 90 || engine.rotation == 270;
    shown.width = quarterTurn ? r.h : r.w;
    shown.height = quarterTurn ? r.w : r.h;
    const int centreX = r.x + r.w / 2;
    const int centreY = r.y + r.h / 2;
    shown.topBrightness = brightness(canvas.pixel(centreX, centreY - shown.height / 4));
    shown.bottomBrightness = brightness(canvas.pixel(centreX, centreY + shown.height / 4));
    shown.rotation = engine.rotation;
    shown.videoIndex = engine.videoIndex;
    shown.ok = true;
    engine.release();
    return shown;
}

namespace {

// The first picture as ffmpeg decodes it (display matrix honoured), as 8-bit grey of the
// size ffprobe gives (turned when ffmpeg turns it).
Shown firstPictureSeenByFfmpeg(const fs::path& path, const fs::path& workFolder, bool turned) {
    Shown shown;
    const nlohmann::json probed = kalo::test::probe(path, workFolder);
    const nlohmann::json* video = kalo::test::streamOfType(probed, "video");
    if (!video) {
        shown.problem = "ffprobe found no video in " + path.u8string();
        return shown;
    }
    shown.width = (*video)["width"];
    shown.height = (*video)["height"];
    if (turned) std::swap(shown.width, shown.height);
    const fs::path raw = workFolder / "first.gray";
    if (!kalo::test::runFfmpeg({"-i", path.u8string(), "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "gray",
                             raw.u8string()},
                            workFolder)) {
        shown.problem = "ffmpeg could not decode " + path.u8string();
        return shown;
    }
    const std::string pixels = kalo::test::readFile(raw);
    if (pixels.size() != static_cast<std::size_t>(shown.width) * shown.height) {
        shown.problem = "unexpected picture size from ffmpeg";
        return shown;
    }
    auto at = [&](int x, int y) { return int(std::uint8_t(pixels[static_cast<std::size_t>(y) * shown.width + x])); };
    shown.topBrightness = at(shown.width / 2, shown.height / 4);
    shown.bottomBrightness = at(shown.width / 2, shown.height * 3 / 4);
    shown.ok = true;
    return shown;
}

bool hasDisplayMatrix(const nlohmann::json& stream) {
    if (!stream.contains("side_data_list")) return false;
    for (const nlohmann::json& side : stream["side_data_list"])
        if (side.value("side_data_type", "") == "Display Matrix") return true;
    return false;
}

int probedQuarterTurn(const nlohmann::json& stream) {
    if (!stream.contains("side_data_list")) return 0;
    for (const nlohmann::json& side : stream["side_data_list"])
        if (side.value("side_data_type", "") == "Display Matrix") return side.value("rotation", 0);
    return 0;
}

}  // namespace

ConvertedShown convertAndShow(const fs::path& path, const fs::path& workFolder) {
    ConvertedShown shown;
    const fs::path output = workFolder / (path.stem().u8string() + "_converted.mp4");
    const kalo::test::ProcessResult result = kalo::test::runProcess(
        {kalo::test::kaloDepth(), "-i", path.u8string(), "-c:v", "libx264", "-y", output.u8string()}, workFolder);
    if (!result.exited || result.exitCode != 0) {
        shown.problem = "kalo-depth failed: " + result.err;
        return shown;
    }
    const nlohmann::json probed = kalo::test::probe(output, workFolder);
    const nlohmann::json* video = kalo::test::streamOfType(probed, "video");
    if (!video) {
        shown.problem = "no video in the converted file";
        return shown;
    }
    shown.displayMatrixLeft = hasDisplayMatrix(*video);
    const int turn = probedQuarterTurn(*video);
    static_cast<Shown&>(shown) = firstPictureSeenByFfmpeg(output, workFolder, turn % 180 != 0);
    return shown;
}

Shown showInFfmpeg(const fs::path& path, const fs::path& workFolder) {
    const nlohmann::json probed = kalo::test::probe(path, workFolder);
    const nlohmann::json* video = kalo::test::streamOfType(probed, "video");
    const int turn = video ? probedQuarterTurn(*video) : 0;
    return firstPictureSeenByFfmpeg(path, workFolder, turn % 180 != 0);
}

}  // namespace mediatest
