#pragma once
#include <filesystem>

namespace kalo::platform {

// The per-user folder for application data: %LOCALAPPDATA% on Windows,
// $XDG_DATA_HOME (else ~/.local/share) elsewhere. Not created here.
std::filesystem::path localDataFolder();

}  // namespace kalo::platform
