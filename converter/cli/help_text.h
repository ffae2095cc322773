#pragma once
// What -h, -version and the start-up banner print.
#include <string>

namespace kalo::converter {

std::string helpText();
std::string versionText();  // program version and the FFmpeg library versions in use
std::string bannerText();   // one line, printed at start unless -hide_banner

}  // namespace kalo::converter
