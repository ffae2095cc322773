#include "converter/platform/file_permissions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kalo::converter {

bool userMayWrite(const std::string& path, std::string& reason) {
    if (access(path.c_str(), W_OK) == 0) return true;
    reason = std::strerror(errno);
    return false;
}

void copyPermissions(const std::string& original, const std::string& replacement) {
    struct stat status {};
    if (stat(original.c_str(), &status) != 0) return;
    // Owner first: changing it clears set-user-id bits, which the mode then restores.
    // Only the superuser may give a file away; a group the user belongs to is allowed.
    if (chown(replacement.c_str(), status.st_uid, status.st_gid) != 0)
        (void)chown(replacement.c_str(), static_cast<uid_t>(-1), status.st_gid);
    (void)chmod(replacement.c_str(), status.st_mode & 07777);
}

}  // namespace kalo::converter
