#pragma once
// A JSON document with typed lookups that never throw: every failure prints the library's
// message on one line and yields the empty value of its kind, so a missing or mistyped
// configuration value degrades the screen instead of stopping the program.
#include <SDL.h>

#include <glm/vec2.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

class JSONBase {
public:
    nlohmann::json document;

    // Reads and parses the file at `path`. A file that opens but does not parse prints the
    // parser's message and "get erroo :<path>: get error" and leaves `document` unchanged.
    // A file that does not open falls back to the embedded UI document when asked to.
    void load(const std::wstring& path, bool fallbackToEmbedded);
    // Replaces `document` with the document compiled into the program. A malformed
    // embedded document throws: it is a build fault, not user input.
    void loadEmbedded();

    std::string getString(std::string section, std::string key);
    std::wstring getWString(std::string section, std::string key);
    SDL_Color getColor(std::string section, std::string key);
    glm::ivec2 getPoint(std::string section, std::string key);
    int getInt(std::string section, std::string key);
    // A copy of a non-empty array; null for anything else.
    nlohmann::json getArray(std::string section, std::string key);
};

// "#RRGGBBAA" read as one 32-bit number: shorter strings are right-aligned ("#000000" is
// transparent black). Throws std::exception ("string error", stoul's errors) when malformed.
SDL_Color parseColorString(const std::string& text);

// The UI configuration, created and loaded before main (see config/process_objects.cpp).
extern std::shared_ptr<JSONBase> uiConfig;

// Lookups bound to the sections read most.
std::string otherText(const std::string& key);            // "PARAM_OTHER", UTF-8
SDL_Color otherColor(const std::string& key);             // "PARAM_OTHER"
std::wstring menuText(const std::string& key);            // "PARAM_MENUBAR", wide
std::string videoInfoText(const std::string& key);        // "PARAM_VINFO", UTF-8
glm::ivec2 filterOptionPoint(const std::string& key);     // "PARAM_FILTER_OPTION"
