#pragma once
// The four display strings that describe an opened source: duration, resolution, file size
// and format. The formatters are separate so that each rule can be checked on its own.
#include <cstdint>
#include <string>

struct MediaInfo {
    std::string duration;
    std::string resolution;
    std::string size;
    std::string format;
};

// "hh:mm:ss" from a duration in microseconds; hours beyond 99 widen the first field.
// An unknown (negative) duration reads as zero.
std::string formatDuration(std::int64_t microseconds);
// "1920x1080".
std::string formatResolution(int width, int height);
// "15 MB": divided by 1024 while above 1024, at most four times ("1024 B" stays bytes).
std::string formatFileSize(std::uintmax_t bytes);
// The file name's extension without the dot, ASCII letters lower-cased ("" when none).
std::string formatExtension(const std::string& utf8Path);

// Fills every field; the size is read from the file at `utf8Path` ("0 B" when unreadable).
MediaInfo describeMedia(const std::string& utf8Path, std::int64_t durationMicroseconds,
                        int width, int height);
