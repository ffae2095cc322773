#pragma once
// FFmpeg error codes as text for one-line messages.
#include <string>

namespace kalo {

// av_strerror's words for `code`.
std::string avErrorText(int code);

// The library's own words when it logged an error during the failed call, else the code.
std::string failureText(int code, const std::string& libraryMessage);

}  // namespace kalo
