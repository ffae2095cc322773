#pragma once
// Parsers for the values of single options. Each returns false when the text is not a
// valid value; the caller words the message.
#include <cstdint>
#include <string>

namespace kalo::converter {

// "10M", "6000k", "2.5M", "800000": bits per second, SI suffixes as FFmpeg reads them.
bool parseBitRate(const std::string& text, std::int64_t& bitsPerSecond);

// "[-][HH:]MM:SS[.m...]" or "S[.m...][s|ms|us]", as FFmpeg reads durations.
bool parseDuration(const std::string& text, std::int64_t& microseconds);

// "quiet", "panic", "fatal", "error", "warning", "info", "verbose", "debug", "trace" or a
// number; "repeat+" and "level+" flag prefixes are accepted and ignored.
bool parseLogLevel(const std::string& text, int& level);

// "auto" (0) or a count from 0 to 64.
bool parseThreadCount(const std::string& text, int& threads);

}  // namespace kalo::converter
