#include "media/lut_filter_text.h"

#include <stdexcept>
#include <system_error>

#include "config/option_tables.h"

namespace kalo {
namespace {

std::string escapeWith(const std::string& text, const char* specials) {
    std::string escaped;
    escaped.reserve(text.size() + 8);
    for (char c : text) {
        for (const char* s = specials; *s; ++s) {
            if (c == *s) {
                escaped += '\\';
                break;
            }
        }
        escaped += c;
    }
    return escaped;
}

}  // namespace

std::string escapeFilterOptionValue(const std::string& text) {
    const std::string optionLevel = escapeWith(text, "\\':=");
    return escapeWith(optionLevel, "\\'[],;");
}

std::string lutFilterTextInFolder(const std::filesystem::path& programDirectory,
                                  const std::string& cubeFile) {
    std::filesystem::path folder = programDirectory;
    if (folder.empty()) {
        std::error_code error;
        folder = std::filesystem::current_path(error);
    }
    // generic_u8string: "/" separators on Windows; the bytes of the name, backslashes
    // included, on POSIX where a backslash is an ordinary file-name character.
    std::string text = folder.generic_u8string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    if (text != "/") text += '/';
    text += "filter/";
    text += cubeFile;
    return "lut3d=" + escapeFilterOptionValue(text);
}

std::string lutFilterText(const std::filesystem::path& programPath, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= filterTable.size()) {
        throw std::out_of_range("filter index " + std::to_string(index) + " outside the filter table");
    }
    return lutFilterTextInFolder(programPath.parent_path(),
                                 filterTable[static_cast<std::size_t>(index)].first);
}

}  // namespace kalo
