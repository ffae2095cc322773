#include "platform/file_identity.h"

namespace kalo::platform {

bool namesSameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(first, error) && fs::exists(second, error)) {
        const bool same = fs::equivalent(first, second, error);
        if (!error) return same;
    }
    const fs::path a = fs::weakly_canonical(fs::absolute(first, error), error);
    const fs::path b = fs::weakly_canonical(fs::absolute(second, error), error);
    return a.native() == b.native();
}

}  // namespace kalo::platform
