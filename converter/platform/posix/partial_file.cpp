#include "converter/platform/partial_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kalo::converter {

PartialFileClaim::~PartialFileClaim() { release(); }

bool PartialFileClaim::create(const std::string& path, std::string& error) {
    release();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    // The lock lives with this descriptor: the kernel drops it when the process ends,
    // however it ends, which is what tells a later run that the writer is gone.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = std::strerror(errno);
        close(fd);
        unlink(path.c_str());
        return false;
    }
    handle_ = fd;
    return true;
}

void PartialFileClaim::release() {
    if (handle_ < 0) return;
    close(static_cast<int>(handle_));
    handle_ = -1;
}

long currentProcessId() { return static_cast<long>(getpid()); }

bool partialFileIsAbandoned(const std::string& path, long writerId) {
    // A live process with that id may be the writer, just between creating the file and
    // claiming it; a reused id only delays the clean-up.
    if (writerId <= 0 || (kill(static_cast<pid_t>(writerId), 0) == 0 || errno == EPERM)) return false;
    // The id may also be a process of another machine sharing the folder: its claim shows.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool claimed = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    return !claimed;
}

}  // namespace kalo::converter
