#include "converter/cli/option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

extern "C" {
#include <libavutil/eval.h>
#include <libavutil/parseutils.h>
}

#include "converter/cli/converter_options.h"

namespace kalo::converter {

bool parseBitRate(const std::string& text, std::int64_t& bitsPerSecond) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double value = av_strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(value)) return false;
    if (value < 1000 || value > 1e10) return false;  // below 1 kbit/s or above 10 Gbit/s: a typo
    bitsPerSecond = static_cast<std::int64_t>(std::llround(value));
    return true;
}

bool parseDuration(const std::string& text, std::int64_t& microseconds) {
    if (text.empty()) return false;
    int64_t value = 0;
    if (av_parse_time(&value, text.c_str(), 1) < 0) return false;
    microseconds = value;
    return true;
}

bool parseLogLevel(const std::string& text, int& level) {
    static const std::pair<const char*, int> kNames[] = {
        {"quiet", kLogQuiet}, {"panic", kLogPanic},     {"fatal", kLogFatal},
        {"error", kLogError}, {"warning", kLogWarning}, {"info", kLogInfo},
        {"verbose", kLogVerbose}, {"debug", kLogDebug}, {"trace", kLogTrace},
    };
    std::string rest = text;
    // Flags before the level: "repeat+level+info", "+repeat+info".
    for (;;) {
        size_t skip = 0;
        for (const char* flag : {"+repeat", "repeat+", "+level", "level+", "-repeat", "-level"}) {
            const std::string prefix(flag);
            if (rest.compare(0, prefix.size(), prefix) == 0) skip = prefix.size();
        }
        if (skip == 0) break;
        rest.erase(0, skip);
        if (!rest.empty() && rest[0] == '+') rest.erase(0, 1);
    }
    for (const auto& [name, value] : kNames) {
        if (rest == name) {
            level = value;
            return true;
        }
    }
    if (rest.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(rest.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || number < kLogQuiet || number > kLogTrace) return false;
    level = static_cast<int>(number);
    return true;
}

bool parseThreadCount(const std::string& text, int& threads) {
    if (text == "auto") {
        threads = 0;
        return true;
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 3)
        return false;
    const int value = std::atoi(text.c_str());
    if (value > 64) return false;
    threads = value;
    return true;
}

}  // namespace kalo::converter
