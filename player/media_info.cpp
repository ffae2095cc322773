#include "player/media_info.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/text_encoding.h"

std::string formatDuration(std::int64_t microseconds) {
    const double seconds = microseconds > 0 ? static_cast<double>(microseconds) / 1000000.0 : 0.0;
    const auto whole = static_cast<std::int64_t>(seconds);
    const std::int64_t hours = seconds >= 3600 ? whole / 3600 : 0;
    const std::int64_t minutes = seconds >= 60 ? (whole / 60) % 60 : 0;
    const std::int64_t secs = whole % 60;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(hours),
                  static_cast<long long>(minutes), static_cast<long long>(secs));
    return text;
}

std::string formatResolution(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string formatFileSize(std::uintmax_t bytes) {
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB"};
    int divisions = 0;
    while (bytes > 1024 && divisions < 4) {
        bytes >>= 10;
        ++divisions;
    }
    return std::to_string(bytes) + " " + units[divisions];
}

std::string formatExtension(const std::string& utf8Path) {
    const std::size_t nameStart = utf8Path.find_last_of("/\\");
    const std::size_t dot = utf8Path.find_last_of('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) return "";
    std::string extension = utf8Path.substr(dot + 1);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return extension;
}

MediaInfo describeMedia(const std::string& utf8Path, std::int64_t durationMicroseconds,
                        int width, int height) {
    MediaInfo info;
    info.duration = formatDuration(durationMicroseconds);
    info.resolution = formatResolution(width, height);
    std::uintmax_t bytes = 0;
    try {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(kalo::pathFromUtf8(utf8Path), error);
        if (!error) bytes = size;
    } catch (const std::exception&) {
        // A path that is not valid UTF-8 cannot name the file; its size reads as zero.
    }
    info.size = formatFileSize(bytes);
    info.format = formatExtension(utf8Path);
    return info;
}
