#pragma once
// The container the output file's name asks for. Only MP4 and Matroska carry what players
// need to show the result as 3D (MP4's `st3d` box, Matroska's StereoMode) and keep
// libx264's timing; every other name is refused before anything is written.
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace kalo::converter {

// Returns the muxer for `file` (by its extension), or nullptr with a one-line `error`.
const AVOutputFormat* chooseOutputContainer(const std::string& file, std::string& error);

}  // namespace kalo::converter
