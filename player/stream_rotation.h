#pragma once
// How many degrees clockwise a stream's pictures must be turned to be seen upright, and
// whether the turned picture is taller than wide.
//
// Older demuxers exported this as the stream's "rotate" tag (clockwise degrees). Current
// ones keep it only in the display-matrix side data, whose angle counts counter-clockwise;
// both give the same value here.
#include <cstdint>
#include <optional>

struct AVStream;

// The tag read the way std::stoi reads it (leading white space and a sign accepted,
// trailing characters ignored). Empty when it does not begin with an integer or the
// integer does not fit 32 bits.
std::optional<int> parseRotateTag(const char* text);

// Clockwise degrees in 0..359 from a 3x3 display matrix; empty for a degenerate matrix.
std::optional<int> rotationFromDisplayMatrix(const std::int32_t matrix[9]);

// Brings any angle into 0..359.
int normalizeRotation(int degrees);

// The "rotate" tag when it holds an integer, else the display matrix, else 0.
int streamRotation(const AVStream* stream);

// The picture is taller than wide once turned by `rotation` (only quarter turns of 90 and
// 270 swap the sides). Uses the reduced aspect ratio of width : height.
bool isPortrait(int width, int height, int rotation);
