#include "platform/local_data_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kalo::platform {

std::filesystem::path localDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return std::filesystem::path(xdg);
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* entry = getpwuid(getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    return std::filesystem::path(home ? home : ".") / ".local" / "share";
}

}  // namespace kalo::platform
