#pragma once
// What each program makes of one source file: the preview engine opening and drawing it
// on a software canvas, and kalo-depth converting it (the real program, spawned without a
// shell) with the result read back by ffprobe and ffmpeg. Plus the clips: pictures that
// are upright only when turned the right way, made by the ffmpeg command-line tool.
#include <filesystem>
#include <string>

namespace mediatest {

// The upright picture of every clip: 128x64, white above black.
constexpr int uprightWidth = 128;
constexpr int uprightHeight = 64;

enum class Container { Mp4, Matroska };
enum class RotationMark { None, DisplayMatrix, RotateTag };

// A 10-frame clip whose stored pictures are the upright picture turned back by
// `clockwise` degrees (0, 90, 180 or 270), marked so that a player turns them `clockwise`
// degrees to show them upright. Returns false (with a test failure) when ffmpeg fails.
bool makeTurnedClip(const std::filesystem::path& path, Container container, RotationMark mark,
                    int clockwise, const std::filesystem::path& workFolder);

// An MP4 file whose first stream is a 64x64 red cover picture (attached picture) and
// whose second is the upright video.
bool makeCoverFirstClip(const std::filesystem::path& path, const std::filesystem::path& workFolder);

struct Shown {
    bool ok = false;       // opened and drew a picture
    std::string problem;   // what went wrong when not ok
    int width = 0;         // the picture as it stands on the screen
    int height = 0;
    int topBrightness = -1;     // 0..255 at the middle of the upper and lower quarter
    int bottomBrightness = -1;
    // The picture on screen is the upright one: landscape, white above black.
    bool upright() const;
};

struct PreviewShown : Shown {
    int rotation = -1;     // as the engine reports it
    int videoIndex = -1;   // the stream the engine decodes
};

// Opens `path` in the preview engine, draws the first picture and looks at it.
PreviewShown showInPreview(const std::filesystem::path& path);

struct ConvertedShown : Shown {
    bool displayMatrixLeft = false;  // the output still asks players to turn it
};

// Converts `path` with kalo-depth (no filters) into `workFolder` and reads the first
// picture of the output as players show it.
ConvertedShown convertAndShow(const std::filesystem::path& path, const std::filesystem::path& workFolder);

// The first picture of `path` as ffmpeg itself shows it (honouring the display matrix).
Shown showInFfmpeg(const std::filesystem::path& path, const std::filesystem::path& workFolder);

}  // namespace mediatest
