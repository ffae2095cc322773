#pragma once
// How many degrees clockwise a stream's pictures must be turned to be seen upright, and
// whether the turned picture is taller than wide. The preview and the converter both ask
// streamRotation, so a clip the preview shows upright is converted upright.
//
// Two places may say it: the display-matrix side data (what current demuxers export and
// what FFmpeg's own tools honour; its angle counts counter-clockwise) and the older
// "rotate" stream tag (clockwise degrees, still found in Matroska files).
#include <cstdint>
#include <optional>

struct AVStream;

namespace kalo {

// The tag read the way std::stoi reads it (leading white space and a sign accepted,
// trailing characters ignored). Empty when it does not begin with an integer or the
// integer does not fit 32 bits.
std::optional<int> parseRotateTag(const char* text);

// Clockwise degrees in 0..359 from a 3x3 display matrix; empty for a degenerate matrix.
std::optional<int> rotationFromDisplayMatrix(const std::int32_t matrix[9]);

// Brings any angle into 0..359.
int normalizeRotation(int degrees);

// The quarter turn (0, 90, 180 or 270) nearest to `degrees`.
int nearestQuarterTurn(int degrees);

// The stream's rotation as a quarter turn: the display matrix when the stream has a usable
// one, else the "rotate" tag when it holds an integer, else 0. When both are present and
// disagree the display matrix wins, as it does in FFmpeg's tools, so our output matches
// what other players show. Quarter turns only: the converter can turn a picture only by
// transposing and flipping, and the preview must show what the conversion will make.
int streamRotation(const AVStream* stream);

// The picture is taller than wide once turned by `rotation` (only quarter turns of 90 and
// 270 swap the sides). Uses the reduced aspect ratio of width : height.
bool isPortrait(int width, int height, int rotation);

}  // namespace kalo
