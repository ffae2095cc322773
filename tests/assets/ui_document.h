// The UI document as the asset tests read it: every string of it, its image paths, and where
// a run-time relative path ("./image/x.png") lands in the build's bin folder.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace kalo::test {

nlohmann::json loadUiDocument();

// Every string value of the document, depth first.
std::vector<std::string> allStrings(const nlohmann::json& node);

// Every string value starting with "./image/", without duplicates, sorted.
std::vector<std::string> imagePaths(const nlohmann::json& document);

// KALO_BIN_DIR joined with a path relative to the working directory ("./x" or "x").
std::string binPath(const std::string& relative);

// Unicode code points of a UTF-8 string; invalid bytes yield U+FFFD.
std::vector<char32_t> codePoints(const std::string& utf8);

}  // namespace kalo::test
