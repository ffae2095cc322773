#pragma once
// The fuzzers of documents that are read from files: each input becomes a file in a
// private temporary folder, which goes when the process ends.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace kalo::fuzz {

inline const std::filesystem::path& privateFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("kalo-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    static const struct Remover {
        ~Remover() {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    } remover;
    return folder;
}

inline void writeInput(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace kalo::fuzz
