#include "ui_document.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace kalo::test {

nlohmann::json loadUiDocument() {
    const std::string path = std::string(KALO_SOURCE_DIR) + "/config/resources/kalo_conv_UI.json";
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::stringstream text;
    text << in.rdbuf();
    return nlohmann::json::parse(text.str());
}

namespace {
void collect(const nlohmann::json& node, std::vector<std::string>& out) {
    if (node.is_string()) {
        out.push_back(node.get<std::string>());
    } else if (node.is_structured()) {
        for (const auto& child : node) collect(child, out);
    }
}
}  // namespace

std::vector<std::string> allStrings(const nlohmann::json& node) {
    std::vector<std::string> out;
    collect(node, out);
    return out;
}

std::vector<std::string> imagePaths(const nlohmann::json& document) {
    std::set<std::string> paths;
    for (const auto& s : allStrings(document)) {
        if (s.rfind("./image/", 0) == 0) paths.insert(s);
    }
    return {paths.begin(), paths.end()};
}

std::string binPath(const std::string& relative) {
    const std::string trimmed = relative.rfind("./", 0) == 0 ? relative.substr(2) : relative;
    return std::string(KALO_BIN_DIR) + "/" + trimmed;
}

std::vector<char32_t> codePoints(const std::string& utf8) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                         : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > utf8.size()) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = valid && (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        out.push_back(valid ? cp : U'\uFFFD');
        i += valid ? length : 1;
    }
    return out;
}

}  // namespace kalo::test
