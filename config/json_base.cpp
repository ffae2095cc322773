#include "config/json_base.h"

#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "platform/text_encoding.h"
#include "platform/embedded_document.h"

namespace {

void printException(const std::exception& error) {
    const char* message = error.what();
    std::cout << ((message && *message) ? message : "Unknown exception") << std::endl;
}

// Runs a lookup; any std::exception is printed and turns into `fallback`.
template <typename Result, typename Lookup>
Result guarded(Lookup lookup, Result fallback) {
    try {
        return lookup();
    } catch (const std::exception& error) {
        printException(error);
    } catch (...) {
        std::cout << "Unknown exception" << std::endl;
    }
    return fallback;
}

}  // namespace

void JSONBase::load(const std::wstring& path, bool fallbackToEmbedded) {
    const std::string pathText = kalo::wideToUtf8(path);
    std::ifstream file(kalo::pathFromUtf8(pathText), std::ios::binary | std::ios::ate);
    if (!file.is_open()) {
        if (fallbackToEmbedded) loadEmbedded();
        return;
    }
    std::cout << "Successfully read file:" << pathText << std::endl;
    try {
        const std::streamoff size = file.tellg();
        if (size < 0) return;
        file.seekg(0, std::ios::beg);
        std::string text(static_cast<std::size_t>(size), '\0');
        if (!file.read(text.data(), size)) return;  // short read: keep what we had
        document = nlohmann::json::parse(text);
    } catch (const std::exception& error) {
        printException(error);
        std::cout << "get erroo :" << pathText << ": get error" << std::endl;
    }
}

void JSONBase::loadEmbedded() {
    const std::string text = kalo::platform::embeddedUiDocument();
    if (text.empty()) return;
    document = nlohmann::json::parse(text);
}

std::string JSONBase::getString(std::string section, std::string key) {
    return guarded<std::string>(
        [&] { return document[section][key].get<std::string>(); }, std::string());
}

std::wstring JSONBase::getWString(std::string section, std::string key) {
    return guarded<std::wstring>(
        [&] { return kalo::utf8ToWide(document[section][key].get<std::string>()); },
        std::wstring());
}

SDL_Color parseColorString(const std::string& text) {
    if (text.empty()) return SDL_Color{0, 0, 0, 0};
    if (text[0] != '#') throw std::runtime_error("string error");
    unsigned long long value = 0;
    try {
        value = std::stoull(text.substr(1), nullptr, 16);
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("invalid stoul argument");
    } catch (const std::out_of_range&) {
        throw std::out_of_range("stoul argument out of range");
    }
    // The colour is one unsigned 32-bit number whatever the width of `long` here.
    if (value > 0xFFFFFFFFull) throw std::out_of_range("stoul argument out of range");
    return SDL_Color{static_cast<Uint8>((value >> 24) & 0xFF),
                     static_cast<Uint8>((value >> 16) & 0xFF),
                     static_cast<Uint8>((value >> 8) & 0xFF),
                     static_cast<Uint8>(value & 0xFF)};
}

SDL_Color JSONBase::getColor(std::string section, std::string key) {
    return guarded<SDL_Color>(
        [&] { return parseColorString(document[section][key].get<std::string>()); },
        SDL_Color{0, 0, 0, 0});
}

glm::ivec2 JSONBase::getPoint(std::string section, std::string key) {
    return guarded<glm::ivec2>(
        [&] {
            nlohmann::json& point = document[section][key];
            const int x = point["x"].get<int>();
            const int y = point["y"].get<int>();
            return glm::ivec2(x, y);
        },
        glm::ivec2(0, 0));
}

int JSONBase::getInt(std::string section, std::string key) {
    return guarded<int>([&] { return document[section][key].get<int>(); }, 0);
}

nlohmann::json JSONBase::getArray(std::string section, std::string key) {
    return guarded<nlohmann::json>(
        [&] {
            const nlohmann::json& value = document[section][key];
            if (value.is_array() && !value.empty()) return value;
            return nlohmann::json();
        },
        nlohmann::json());
}

std::string otherText(const std::string& key) { return uiConfig->getString("PARAM_OTHER", key); }
SDL_Color otherColor(const std::string& key) { return uiConfig->getColor("PARAM_OTHER", key); }
std::wstring menuText(const std::string& key) {
    return uiConfig->getWString("PARAM_MENUBAR", key);
}
std::string videoInfoText(const std::string& key) {
    return uiConfig->getString("PARAM_VINFO", key);
}
glm::ivec2 filterOptionPoint(const std::string& key) {
    return uiConfig->getPoint("PARAM_FILTER_OPTION", key);
}
