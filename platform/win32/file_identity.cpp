#include "platform/file_identity.h"

#include <windows.h>

namespace kalo::platform {

bool namesSameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(first, error) && fs::exists(second, error)) {
        const bool same = fs::equivalent(first, second, error);
        if (!error) return same;
    }
    const std::wstring a = fs::weakly_canonical(fs::absolute(first, error), error).native();
    const std::wstring b = fs::weakly_canonical(fs::absolute(second, error), error).native();
    // File names on Windows are compared without regard to letter case.
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace kalo::platform
