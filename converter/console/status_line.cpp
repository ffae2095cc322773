#include "converter/console/status_line.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace kalo::converter {

std::string formatClockTime(double seconds) {
    if (!(seconds >= 0)) seconds = 0;
    const auto hundredths = static_cast<std::int64_t>(seconds * 100.0 + 1e-6);
    char text[48];
    std::snprintf(text, sizeof text, "%02" PRId64 ":%02d:%02d.%02d", hundredths / 360000,
                  static_cast<int>(hundredths / 6000 % 60), static_cast<int>(hundredths / 100 % 60),
                  static_cast<int>(hundredths % 100));
    return text;
}

namespace {

std::string formatWith(const ProgressSnapshot& p, bool withQuality) {
    char line[256];
    int used = std::snprintf(line, sizeof line, "frame=%5" PRId64, p.frames);

    const double fps = p.elapsedSeconds > 0 ? static_cast<double>(p.frames) / p.elapsedSeconds : 0;
    used += std::snprintf(line + used, sizeof line - used, " fps=%3.*f", fps < 9.95 ? 1 : 0, fps);

    if (!withQuality)
        ;
    else if (p.quality >= 0)
        used += std::snprintf(line + used, sizeof line - used, " q=%.1f", p.quality);
    else
        used += std::snprintf(line + used, sizeof line - used, " q=-0.0");

    used += std::snprintf(line + used, sizeof line - used, " time=%s",
                          formatClockTime(p.outputSeconds).c_str());

    if (p.outputSeconds > 0 && p.bytesWritten > 0) {
        const double kbits = static_cast<double>(p.bytesWritten) * 8.0 / p.outputSeconds / 1000.0;
        used += std::snprintf(line + used, sizeof line - used, " bitrate=%6.1fkbits/s", kbits);
    } else {
        used += std::snprintf(line + used, sizeof line - used, " bitrate=N/A");
    }

    if (p.outputSeconds > 0 && p.elapsedSeconds > 0)
        std::snprintf(line + used, sizeof line - used, " speed=%4.3gx", p.outputSeconds / p.elapsedSeconds);
    else
        std::snprintf(line + used, sizeof line - used, " speed=N/A");
    return line;
}

}  // namespace

std::string formatStatusLine(const ProgressSnapshot& progress) {
    std::string line = formatWith(progress, true);
    // Very long counts or rates: the quantiser is the least useful field.
    if (line.size() > kStatusLineMaxColumns) line = formatWith(progress, false);
    return line;
}

}  // namespace kalo::converter
