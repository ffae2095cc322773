#pragma once
// Test clips, made by the real ffmpeg command-line tool from lavfi sources. One way to make
// them: an argument list handed to ffmpeg without a shell; a failure fails the calling test
// with the command and what ffmpeg said.
#include <filesystem>
#include <string>
#include <vector>

namespace kalo::test {

// Runs `ffmpeg -nostdin -hide_banner -loglevel error -y <arguments>` with its output kept in
// `workFolder`. On failure adds a test failure naming the command, its end and ffmpeg's
// error lines, and returns false.
bool runFfmpeg(const std::vector<std::string>& arguments, const std::filesystem::path& workFolder);

// A clip of a moving test pattern with its clock (testsrc2) at `size` ("320x240"), 25 fps,
// `seconds` long, H.264 in yuv420p, MP4 with the index at the front; with a 440 Hz tone as
// AAC when `tone`.
bool makeClip(const std::filesystem::path& path, const std::string& size, double seconds,
              const std::filesystem::path& workFolder, bool tone = true);

// The folder that holds the named clips below, made once per build tree.
std::filesystem::path clipFolder();

// The path of named clip `name`, made on first use (under a temporary name, then renamed,
// so that test processes running side by side never see half a file). Fails the calling
// test (and returns the path anyway) when it cannot be made.
std::filesystem::path clip(const std::string& name);

// Named clips:
//  "count250.mp4"      250 frames, 25 fps, 160x120, key frame every 30 frames
//  "numbered1000.mp4"  1000 frames, 25 fps, 64x64, lossless; frame n has luma n % 256 and
//                      blue difference 16 + 16 * (n / 256): see frameNumberOf
//  "hd1080.mp4"        60 frames, 25 fps, 1920x1080, key frame every 30 frames
//  "count250.mkv"      250 frames, 25 fps (no frame count in the container)
//  "count250.ts"       250 frames, 25 fps, MPEG-TS (time base 1/90000, starts at 1.4 s)
//  "odd.avi"           100 frames at 30000/1001 fps, MPEG-4 part 2
//  "micro.mp4"         100 frames at 1000000/66667 fps, time base 1/1000000
//  "phone90.mp4"       an upright 180x320 picture, red above blue, stored turned a
//                      quarter counter-clockwise (320x180) with a display matrix that turns
//                      it back: rotation 90
//  "phone270.mp4"      the same stored turned clockwise: rotation 270
//  "tag90.mkv"         "rotate" tag 90;  "tag270abc.mkv": "rotate" tag "270abc"
//  "white.mp4"         25 white frames, 160x120
//  "white444.mp4"      25 white frames, 160x120, planar YUV 4:4:4
//  "audiofirst.mkv"    an audio stream at index 0 and 250 video frames at index 1
//  "audioonly.m4a"     one second of a tone, no video
//  "unknowncodec.avi"  a video stream whose codec no decoder knows
//  "garbage.mp4"       random bytes
//  "nomoov.mp4"        count250.mp4 cut in half, its index (at the end) lost
//  "cut.mp4"           a fast-start copy of count250.mp4 cut at 60 %
//  "cut.mkv"           count250.mkv cut at 60 %
//  "scrambled.mp4"     a fast-start copy of count250.mp4 with bytes overwritten mid-file
//  "slow.mp4"          10 frames at 1 fps

// The frame number written into a "numbered1000.mp4" picture, from its luma and blue
// difference values.
int frameNumberOf(int luma, int blueDifference);

}  // namespace kalo::test
