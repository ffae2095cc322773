#include "converter/platform/console_output.h"

#include <unistd.h>

#include <cerrno>

namespace kalo::converter {

// Terminals here take UTF-8 bytes as they are.
void prepareConsoleOutput() {}

void writeStandardError(const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(STDERR_FILENO, text, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // closed or broken: nothing to tell anyone
        text += written;
        size -= static_cast<std::size_t>(written);
    }
}

}  // namespace kalo::converter
