#pragma once
#include <filesystem>

namespace kalo::platform {

// The full path of the running program's executable, whatever the command line called it
// (a bare name found through PATH, a relative path, a link): GetModuleFileNameW on Windows,
// /proc/self/exe on POSIX. Empty when the system cannot say.
std::filesystem::path executablePath();

// The folder that holds the executable, where the run-time folders (filter/, image/, ...)
// are installed. Empty when the executable's path is unknown.
std::filesystem::path executableDirectory();

}  // namespace kalo::platform
