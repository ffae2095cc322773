#include "platform/executable_path.h"

#include <windows.h>

#include <vector>

namespace kalo::platform {

std::filesystem::path executablePath() {
    // Long paths may exceed MAX_PATH: grow the buffer until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(),
                                                static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path executableDirectory() { return executablePath().parent_path(); }

}  // namespace kalo::platform
