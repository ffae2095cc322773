#pragma once
// Short test clips made with the ffmpeg command-line tool from lavfi sources, once per
// build tree: a clip is made when its file is missing (under a temporary name, then
// renamed, so that test processes running side by side never see half a file).
#include <filesystem>
#include <string>

namespace cliptest {

// The folder that holds the clips.
std::filesystem::path clipFolder();

// The path of clip `name` (one of the names below), made on first use. Fails the calling
// test (and returns the path anyway) when ffmpeg fails.
std::filesystem::path clip(const std::string& name);

// Clips:
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

}  // namespace cliptest
