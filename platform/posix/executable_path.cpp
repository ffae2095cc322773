#include "platform/executable_path.h"

#include <system_error>

namespace kalo::platform {

std::filesystem::path executablePath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return path;
}

std::filesystem::path executableDirectory() { return executablePath().parent_path(); }

}  // namespace kalo::platform
