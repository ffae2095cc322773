#pragma once
// UTF-8 <-> wide text. Wide strings are UTF-16 where wchar_t has 16 bits (Windows) and
// UTF-32 where it has 32 (POSIX), so every wide string round-trips to the same UTF-8 and
// names a file correctly through std::filesystem::path on both.
#include <filesystem>
#include <string>

namespace kalo {

// Throws std::range_error ("bad conversion" or similar) on invalid input.
std::wstring utf8ToWide(const std::string& text);
std::string wideToUtf8(const std::wstring& text);

// A path from UTF-8 text, and back, independent of the process locale.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string pathToUtf8(const std::filesystem::path& path);

}  // namespace kalo
