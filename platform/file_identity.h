#pragma once
// Whether two paths name the same file: through links, "..", and on Windows whatever the
// letter case, so that a job never writes over its own source.
#include <filesystem>

namespace kalo::platform {

// True when both exist and are the same file, or when (at least one missing) both resolve
// to the same path: on POSIX byte for byte, on Windows ignoring letter case.
bool namesSameFile(const std::filesystem::path& first, const std::filesystem::path& second);

}  // namespace kalo::platform
