#include "platform/working_directory.h"

#include <unistd.h>

#include "platform/text_encoding.h"

namespace kalo::platform {

bool setWorkingDirectory(const std::wstring& path) {
    try {
        return chdir(kalo::wideToUtf8(path).c_str()) == 0;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kalo::platform
