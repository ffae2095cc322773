#include "platform/working_directory.h"

#include <windows.h>

namespace kalo::platform {

bool setWorkingDirectory(const std::wstring& path) {
    std::wstring normalised = path;  // both separators work; keep one form
    for (auto& c : normalised) if (c == L'\\') c = L'/';
    return SetCurrentDirectoryW(normalised.c_str()) != 0;
}

}  // namespace kalo::platform
