#include "converter/platform/file_identity.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace kalo::converter {
namespace {

FileIdentity identityOf(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

void addIfReadableFile(int fd, std::vector<FileIdentity>& files) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_WRONLY) return;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return;
    const FileIdentity identity = identityOf(status);
    if (std::find(files.begin(), files.end(), identity) == files.end()) files.push_back(identity);
}

}  // namespace

std::optional<FileIdentity> identityOfFile(const std::string& path) {
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0) return std::nullopt;
    return identityOf(status);
}

std::vector<FileIdentity> filesOpenForReading() {
    std::vector<FileIdentity> files;
    // Linux lists the open descriptors; elsewhere every possible number is asked.
    if (DIR* listing = opendir("/proc/self/fd")) {
        const int own = dirfd(listing);
        while (const dirent* entry = readdir(listing)) {
            char* end = nullptr;
            const long fd = std::strtol(entry->d_name, &end, 10);
            if (end == entry->d_name || *end != '\0' || fd == own) continue;
            addIfReadableFile(static_cast<int>(fd), files);
        }
        closedir(listing);
        return files;
    }
    rlimit limit{};
    rlim_t highest = 1024;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) highest = limit.rlim_cur;
    highest = std::min<rlim_t>(highest, 65536);
    for (rlim_t fd = 0; fd < highest; ++fd) addIfReadableFile(static_cast<int>(fd), files);
    return files;
}

}  // namespace kalo::converter
